#pragma once
// A stand-in for the character service that records every call on the
// character, so that tests can check what the companion asks of it.

#include "agent/AgentControl.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

namespace perch {

class TRecordedCharacter;

class TRecordedCharacters final : public TAgentCharacters {
 public:
  explicit TRecordedCharacters(const TAgent& owner);
  ~TRecordedCharacters() override;
  TAgentRequestPtr Load(const QString& CharacterID, const QString& file) override;
  TAgentCharacter& Character(const QString& CharacterID) override;

 private:
  const TAgent& owner_;
  std::map<QString, std::unique_ptr<TRecordedCharacter>> loaded_;
};

class TRecordingAgent final : public TAgent {
 public:
  explicit TRecordingAgent(QObject* parent = nullptr);
  ~TRecordingAgent() override;

  bool Connected() const override { return connected_; }
  void setConnected(bool value) override;
  TAgentCharacters& Characters() override;

  // Every call on any recording agent, in order, as "Speak <text> [<language>]".
  static QStringList& Calls();
  static void Reset();
  // Makes Characters.Load fail, as a missing character file does.
  static inline bool failLoad = false;
  // Runs inside each Speak, after it was recorded; may throw.
  static inline std::function<void(const QString&)> onSpeak;

 private:
  bool connected_ = false;
  TRecordedCharacters characters_{*this};
};

}  // namespace perch
