#pragma once
// "Say something…": a small box for a text the bird is to speak, offering
// the texts said before.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

namespace perch {

class TSayDialog : public QDialog {
  Q_OBJECT
 public:
  // A balloon holds a few sentences; longer texts are cut here.
  static constexpr int MaxLength = 500;

  TSayDialog(const QString& birdName, const QStringList& history, QWidget* parent = nullptr);

  QString Text() const;

 private:
  QComboBox* text_;
  QPushButton* ok_;
};

}  // namespace perch
