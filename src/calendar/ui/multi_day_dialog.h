// Twiele: the dialog that writes one note to every date of a range picked with a Shift-click.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "ui_support/window_positions.h"
#include "calendar/multi_day_notes.h"

class QLabel;
class QPlainTextEdit;
class QRadioButton;

class Twiele : public QDialog
{
    Q_OBJECT
public:
    Twiele(TDateTime anchor, TDateTime clicked, QWidget* parent = nullptr);
    ~Twiele() override;

    // Shows the dialog modally; the operation and text when the user confirmed, else nothing.
    static std::optional<RangeNote> Run(TDateTime anchor, TDateTime clicked, QWidget* parent);

    RangeNote Note() const;

    QLabel* lwybor = nullptr;
    QRadioButton* RadioAdd = nullptr;     // "Dopisanie notatki do wybranych dni", item 0
    QRadioButton* RadioAssign = nullptr;  // "Przypisanie notatki do wybranych dni", item 1
    QPlainTextEdit* Memo = nullptr;

protected:
    void done(int result) override;

private:
    void OkClick();

    TDateTime m_anchor;
    TDateTime m_clicked;
    TFormPosKeeper m_keeper;
};
