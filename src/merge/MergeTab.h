#pragma once

#include "merge/MergeList.h"
#include "ui/Tab.h"

#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace merge {

// The "Merge" tab: a drive box, directory list, file-type selector and file list to pick files with, the
// merge list in a grid with its running addresses, total and count, the buttons that edit it, list files,
// and "Merge". The list itself is the workspace's MergeList; the grid only shows it, so it survives
// switching tabs.
class MergeTab final : public ui::Tab {
    Q_OBJECT
public:
    MergeTab(const ui::TabContext& context, MergeList& list, QWidget* parent = nullptr);

    QString Caption() const override { return QStringLiteral("Merge"); }
    void FormCreate() override;
    void TabShown() override { TabSheet_MERGEShow(); }

    // The tab is shown: the grid's titles and row numbers, and the list as the workspace holds it.
    void TabSheet_MERGEShow();
    // Addresses, sizes and names of every row, the total and the count, from the list.
    void RefreshMergeList();
    void FileListBox_MERGEDblClick();
    void BitBtn_DELETEClick();
    void BitBtn_DOWNClick();
    void BitBtn_UPClick();
    void BitBtn_FileListClearClick();
    void BitBtn_FileListSaveClick();
    void BitBtn_FileListLoadClick();
    void BitBtn_MERGEClick();

    // The drive box chose a file system: the directory list moves to its root.
    void DriveComboBox_MERGEChange();
    // The directory list opened a directory: it becomes the current folder and the file list shows it.
    void DirectoryListBox_MERGEChange(const QString& directory);
    void FilterComboBox_MERGEChange();

    // The directory the directory list and the file list show.
    const QString& Directory() const { return directory_; }

private:
    // The grid's selected row (1..199), and selecting one.
    int SelectedRow() const;
    void SelectRow(int row);
    void ShowDirectory();
    void ShowFiles();
    void ShowDrives();

    MergeList& list_;
    ui::Messages& messages_;
    ui::DialogDriver& dialogs_;
    ui::FileDialog& openDialog_;
    ui::FileDialog& saveDialog_;
    std::string& folder_;
    QString directory_;
    bool shownOnce_ = false; // the lists and the buttons' pictures, filled when the tab is first shown

    QComboBox* DriveComboBox_MERGE = nullptr;
    QListWidget* DirectoryListBox_MERGE = nullptr;
    QComboBox* FilterComboBox_MERGE = nullptr;
    QListWidget* FileListBox_MERGE = nullptr;
    QTableWidget* StringGrid_MERGE = nullptr;
    QPushButton* BitBtn_UP = nullptr;
    QPushButton* BitBtn_DOWN = nullptr;
    QPushButton* BitBtn_DELETE = nullptr;
    QPushButton* BitBtn_MERGE = nullptr;
    QLabel* Label_TotalAddress = nullptr;
    QLabel* Label_MergeFileNo = nullptr;
    QPushButton* BitBtn_FileListClear = nullptr;
    QPushButton* BitBtn_FileListLoad = nullptr;
    QPushButton* BitBtn_FileListSave = nullptr;
};

} // namespace merge
