#pragma once
// The agent control: the companion's handle on Perch's character service.
// Every call is made on the main thread; Play, Speak, MoveTo and Show are
// queued and carried out in order, and return at once. A failing call throws
// TAgentError with a message that says what went wrong.

#include <QObject>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

namespace perch {

class TAgentCharacterImpl;  // the service's side of one loaded character

class TAgentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The receipt of a queued request. Callers may keep it; nothing needs it.
class TAgentRequest {
 public:
  explicit TAgentRequest(int id) : id_(id) {}
  int ID() const { return id_; }

 private:
  int id_;
};
using TAgentRequestPtr = std::shared_ptr<TAgentRequest>;

// One loaded character.
class TAgentCharacter {
 public:
  explicit TAgentCharacter(std::unique_ptr<TAgentCharacterImpl> impl);
  ~TAgentCharacter();

  int LanguageID() const;
  void setLanguageID(int languageId);  // 1033 English (US), 2052 Chinese (PRC)
  bool AutoPopupMenu() const;
  void setAutoPopupMenu(bool value);
  int Left() const;
  void setLeft(std::int16_t x);  // places the character at once
  int Top() const;
  void setTop(std::int16_t y);
  // The character's window size in pixels.
  int Width() const;
  int Height() const;
  // A screen rectangle (a game's window) that the balloon keeps off; an
  // empty one for none.
  void setKeepClear(const QRect& area);
  // The character's size: 1 as designed; 0.75 and 1.5 draw it that much
  // smaller or larger, as crisply, its feet staying where they stood.
  double Scale() const;
  void setScale(double scale);
  // The voice: its loudness in percent (0 to 100) and whether it is muted
  // (the balloons still show).
  int Volume() const;
  void setVolume(int percent);
  bool Muted() const;
  void setMuted(bool muted);
  // Flies off the screen and stays away, its lines unsaid, until FlyBack
  // brings it back to where it left. Left and Top meanwhile tell the place
  // it comes back to. At once, not queued: what was queued is dropped.
  TAgentRequestPtr FlyOff();
  TAgentRequestPtr FlyBack();
  bool Away() const;

  TAgentRequestPtr Show(bool Fast);
  TAgentRequestPtr Hide(bool Fast);
  TAgentRequestPtr Play(const QString& animation);
  TAgentRequestPtr Speak(const QString& Text, const QString& Url);
  // Speaks a line of a conversation: it replaces the earlier lines spoken
  // this way, dropping those still waiting and cutting the one being spoken.
  TAgentRequestPtr SpeakLatest(const QString& Text);
  TAgentRequestPtr MoveTo(std::int16_t x, std::int16_t y, int Speed);
  // Keeps the last line's balloon up while held (a question answered in a
  // dialog); released, it lingers as after a line and goes. At once, not
  // queued.
  void HoldBalloon(bool hold);
  // Types: "play" drops the queued and running Play requests.
  void StopAll(const QString& Types);

  TAgentCharacterImpl& Impl() { return *impl_; }

 private:
  std::unique_ptr<TAgentCharacterImpl> impl_;
};

class TAgent;

// The characters loaded through one control.
class TAgentCharacters {
 public:
  explicit TAgentCharacters(TAgent& owner) : owner_(owner) {}
  ~TAgentCharacters();
  // Loads a character file, resolved by bare name from the data folders.
  TAgentRequestPtr Load(const QString& CharacterID, const QString& file);
  // The character loaded under the id; throws TAgentError for an unknown id.
  TAgentCharacter& Character(const QString& CharacterID);

 private:
  TAgent& owner_;
  std::map<QString, std::unique_ptr<TAgentCharacter>> loaded_;
};

class TAgent : public QObject {
  Q_OBJECT
 public:
  explicit TAgent(QObject* parent = nullptr);
  ~TAgent() override;

  bool Connected() const { return connected_; }
  void setConnected(bool value);
  // Throws TAgentError when the control is not connected.
  TAgentCharacters& Characters();

  // Fired on the main thread when the user clicks a character.
  std::function<void(TAgent* Sender, const QString& CharacterID, int Button, int Shift, std::int16_t x,
                     std::int16_t y)>
      OnClick;
  // Fired on the main thread when the user lets go of a character dragged
  // to a new place (x and y where the pointer was let go).
  std::function<void(TAgent* Sender, const QString& CharacterID, int Button, int Shift, std::int16_t x,
                     std::int16_t y)>
      OnDragComplete;
  // Receives errors that reached the event loop inside the service (a click
  // handler that threw); unassigned, they show in an error box.
  std::function<void(const QString& message)> OnError;

 private:
  bool connected_ = false;
  TAgentCharacters characters_{*this};
};

}  // namespace perch
