#pragma once
// The agent control as Perch's character service carries it out: each
// loaded character is a window of its own, with its balloon and voice.

#include "agent/AgentControl.h"

#include <map>
#include <memory>

namespace perch {

class TAgentCharacterImpl;  // the service's side of one loaded character

class TServiceCharacter final : public TAgentCharacter {
 public:
  explicit TServiceCharacter(std::unique_ptr<TAgentCharacterImpl> impl);
  ~TServiceCharacter() override;

  int LanguageID() const override;
  void setLanguageID(int languageId) override;
  bool AutoPopupMenu() const override;
  void setAutoPopupMenu(bool value) override;
  int Left() const override;
  void setLeft(std::int16_t x) override;
  int Top() const override;
  void setTop(std::int16_t y) override;
  int Width() const override;
  int Height() const override;
  void setKeepClear(const QRect& area) override;
  double Scale() const override;
  void setScale(double scale) override;
  int Volume() const override;
  void setVolume(int percent) override;
  bool Muted() const override;
  void setMuted(bool muted) override;
  TAgentRequestPtr FlyOff() override;
  TAgentRequestPtr FlyBack() override;
  bool Away() const override;
  TAgentRequestPtr Show(bool Fast) override;
  TAgentRequestPtr Hide(bool Fast) override;
  TAgentRequestPtr Play(const QString& animation) override;
  TAgentRequestPtr Speak(const QString& Text, const QString& Url) override;
  TAgentRequestPtr SpeakLatest(const QString& Text) override;
  TAgentRequestPtr MoveTo(std::int16_t x, std::int16_t y, int Speed) override;
  void HoldBalloon(bool hold) override;
  void StopAll(const QString& Types) override;

  // The service's side, for its own tests and tools.
  TAgentCharacterImpl& Impl() { return *impl_; }

 private:
  std::unique_ptr<TAgentCharacterImpl> impl_;
};

class TServiceAgent;

class TServiceCharacters final : public TAgentCharacters {
 public:
  explicit TServiceCharacters(TServiceAgent& owner) : owner_(owner) {}
  ~TServiceCharacters() override;

  TAgentRequestPtr Load(const QString& CharacterID, const QString& file) override;
  TServiceCharacter& Character(const QString& CharacterID) override;

 private:
  TServiceAgent& owner_;
  std::map<QString, std::unique_ptr<TServiceCharacter>> loaded_;
};

class TServiceAgent final : public TAgent {
 public:
  explicit TServiceAgent(QObject* parent = nullptr);
  ~TServiceAgent() override;

  bool Connected() const override { return connected_; }
  void setConnected(bool value) override;
  TServiceCharacters& Characters() override;

 private:
  bool connected_ = false;
  TServiceCharacters characters_{*this};
};

}  // namespace perch
