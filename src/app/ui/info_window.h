// Tinfo: the about window, "Informacja o programie", with the description from "info.rtf".
#pragma once

#include "ui_support/window_positions.h"

#include <QDialog>

#include <filesystem>

class FileStore;
class QLabel;
class QUrl;
class UrlLauncher;
class QPushButton;
class QTextEdit;

class Tinfo : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 563;
    static constexpr int kClientHeight = 473;

    // `infoFile`: the description to show, "info.rtf" where the program finds it; `links` opens the
    // addresses it links to.
    Tinfo(FileStore& files, UrlLauncher& links, std::filesystem::path infoFile, QWidget* parent = nullptr);
    ~Tinfo() override;

    // Loads "info.rtf" into RichEdit, or says which file is missing.
    void FormShow();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QTextEdit* RichEdit = nullptr;
    QPushButton* OK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OpenLink(const QUrl& link);

    FileStore& m_files;
    UrlLauncher& m_links;
    std::filesystem::path m_path;
    TFormPosKeeper m_keeper;
};
