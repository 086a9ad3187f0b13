#pragma once
// "Rename…": the bird's name and the user's, as the introduction asked for
// them, changed later.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace perch {

class TRenameDialog : public QDialog {
  Q_OBJECT
 public:
  // As long as a name the introduction takes.
  static constexpr int MaxLength = 255;

  TRenameDialog(const QString& birdName, const QString& userName, QWidget* parent = nullptr);

  // The names as typed, without blanks round them; OK needs both.
  QString BirdName() const;
  QString UserName() const;

 private:
  QLineEdit* birdName_;
  QLineEdit* userName_;
  QPushButton* ok_;
};

}  // namespace perch
