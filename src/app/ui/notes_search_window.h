// "Szukaj w notatkach": the notes that hold the words typed, found while the user types.
#pragma once

#include "calendar/notes_search.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

class NotesSearchWindow : public QDialog
{
    Q_OBJECT
public:
    explicit NotesSearchWindow(const JournalRecords& records, QWidget* parent = nullptr);

    // Brings the window up with the field ready for typing over the last query.
    void Open();
    // Whether the search of the last key typed has ended.
    bool Idle() const { return !m_poll.isActive(); }

    // The controls, by their object names too, for tests.
    QLineEdit* szukaj = nullptr;
    QCheckBox* bezPolskich = nullptr;  // "bez polskich znaków"
    QListWidget* wyniki = nullptr;
    QLabel* stan = nullptr;   // how many were found, or that the search runs
    QLabel* uwaga = nullptr;  // that part of a long query was ignored

signals:
    // The user chose a hit (Enter or a double click): its key, "yyyy.mm.dd" or "    .mm.dd".
    void KeyChosen(const QString& key);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void szukajChange();
    void PollSearch();
    void ShowHits();
    void Choose(QListWidgetItem* item);

    NotesSearchSession m_session;
    QTimer m_poll;
};
