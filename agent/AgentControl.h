#pragma once
// The agent control: the companion's handle on Perch's character service,
// as interfaces.
// Every call is made on the main thread; Play, Speak, MoveTo and Show are
// queued and carried out in order, and return at once. A failing call throws
// TAgentError with a message that says what went wrong.

#include <QObject>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

namespace perch {

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

// One loaded character, as the companion sees it.
class TAgentCharacter {
 public:
  virtual ~TAgentCharacter();

  virtual int LanguageID() const = 0;
  virtual void setLanguageID(int languageId) = 0;  // 1033 English (US), 2052 Chinese (PRC)
  virtual bool AutoPopupMenu() const = 0;
  virtual void setAutoPopupMenu(bool value) = 0;
  virtual int Left() const = 0;
  virtual void setLeft(std::int16_t x) = 0;  // places the character at once
  virtual int Top() const = 0;
  virtual void setTop(std::int16_t y) = 0;
  // The character's window size in pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // A screen rectangle (a game's window) that the balloon keeps off; an
  // empty one for none.
  virtual void setKeepClear(const QRect& area) = 0;
  // The character's size: 1 as designed; 0.75 and 1.5 draw it that much
  // smaller or larger, as crisply, its feet staying where they stood.
  virtual double Scale() const = 0;
  virtual void setScale(double scale) = 0;
  // The voice: its loudness in percent (0 to 100) and whether it is muted
  // (the balloons still show).
  virtual int Volume() const = 0;
  virtual void setVolume(int percent) = 0;
  virtual bool Muted() const = 0;
  virtual void setMuted(bool muted) = 0;
  // Flies off the screen and stays away, its lines unsaid, until FlyBack
  // brings it back to where it left. Left and Top meanwhile tell the place
  // it comes back to. At once, not queued: what was queued is dropped.
  virtual TAgentRequestPtr FlyOff() = 0;
  virtual TAgentRequestPtr FlyBack() = 0;
  virtual bool Away() const = 0;

  virtual TAgentRequestPtr Show(bool Fast) = 0;
  virtual TAgentRequestPtr Hide(bool Fast) = 0;
  virtual TAgentRequestPtr Play(const QString& animation) = 0;
  virtual TAgentRequestPtr Speak(const QString& Text, const QString& Url) = 0;
  // Speaks a line of a conversation: it replaces the earlier lines spoken
  // this way, dropping those still waiting and cutting the one being spoken.
  virtual TAgentRequestPtr SpeakLatest(const QString& Text) = 0;
  virtual TAgentRequestPtr MoveTo(std::int16_t x, std::int16_t y, int Speed) = 0;
  // Keeps the last line's balloon up while held (a question answered in a
  // dialog); released, it lingers as after a line and goes. At once, not
  // queued.
  virtual void HoldBalloon(bool hold) = 0;
  // Types: "play" drops the queued and running Play requests.
  virtual void StopAll(const QString& Types) = 0;
};

// The characters loaded through one control.
class TAgentCharacters {
 public:
  virtual ~TAgentCharacters() = default;
  // Loads a character file, resolved by bare name from the data folders.
  virtual TAgentRequestPtr Load(const QString& CharacterID, const QString& file) = 0;
  // The character loaded under the id; throws TAgentError for an unknown id.
  virtual TAgentCharacter& Character(const QString& CharacterID) = 0;
};

// The control itself. The character service implements it (TServiceAgent),
// and so does the tests' recording stand-in; the program that builds the
// companion hands it the one to use.
class TAgent : public QObject {
  Q_OBJECT
 public:
  explicit TAgent(QObject* parent = nullptr);
  ~TAgent() override;

  virtual bool Connected() const = 0;
  virtual void setConnected(bool value) = 0;
  // Throws TAgentError when the control is not connected.
  virtual TAgentCharacters& Characters() = 0;

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
};

}  // namespace perch
