#include "merge/MergeTab.h"

#include "base/Path.h"
#include "merge/ListFile.h"
#include "merge/MergeWriter.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStorageInfo>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>
#include <functional>

namespace merge {

namespace {

constexpr const char* kFileTypes = "BIN files (*.BIN)|*.BIN|All files (*.*)|*.*";
constexpr int kPathRole = Qt::UserRole;

// A name as the file system holds it, for the controls (file names are in the local 8-bit encoding).
QString FromFileSystem(const std::string& name) {
    return QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size()));
}

// The style's standard pictures beside the captions of the list's buttons. Finding them in the icon theme
// is most of what building this tab costs, so they are looked up when the tab is first shown.
void ShowPictures(const std::initializer_list<std::pair<QPushButton*, QStyle::StandardPixmap>>& buttons) {
    for (const auto& [button, icon] : buttons)
        button->setIcon(button->style()->standardIcon(icon));
}

// Enter on a list does what a double-click does.
void OnEnter(QListWidget* list, const std::function<void()>& handler) {
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), list);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, list, ui::Guarded(handler));
    }
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    if (item->text() != text) item->setText(text);
}

} // namespace

MergeTab::MergeTab(const ui::TabContext& context, MergeList& list, QWidget* parent)
    : ui::Tab(parent), list_(list), messages_(context.messages), dialogs_(context.dialogs),
      openDialog_(context.OpenDialog_Main), saveDialog_(context.SaveDialog_Main), folder_(context.folder) {
    setObjectName(QStringLiteral("TabSheet_MERGE"));

    DriveComboBox_MERGE = ui::Placed(new QComboBox(this), "DriveComboBox_MERGE", 8, 8);
    DriveComboBox_MERGE->setFixedSize(200, 24);
    DriveComboBox_MERGE->setAccessibleName(QStringLiteral("Drive"));
    DriveComboBox_MERGE->setToolTip(QStringLiteral("The file system whose directories are listed below"));

    DirectoryListBox_MERGE = ui::Placed(new QListWidget(this), "DirectoryListBox_MERGE", 8, 36);
    DirectoryListBox_MERGE->setFixedSize(200, 264);
    DirectoryListBox_MERGE->setIconSize(QSize(16, 16));
    DirectoryListBox_MERGE->setAccessibleName(QStringLiteral("Directory"));
    DirectoryListBox_MERGE->setToolTip(
        QStringLiteral("Double-click a directory to open it; it becomes the current directory"));

    FilterComboBox_MERGE = ui::Placed(new QComboBox(this), "FilterComboBox_MERGE", 8, 308);
    FilterComboBox_MERGE->setFixedSize(200, 24);
    FilterComboBox_MERGE->setAccessibleName(QStringLiteral("File type"));
    FilterComboBox_MERGE->setToolTip(QStringLiteral("Which files the file list shows"));
    const QStringList types = QString::fromLatin1(kFileTypes).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < types.size(); i += 2)
        FilterComboBox_MERGE->addItem(types[i], types[i + 1]);

    FileListBox_MERGE = ui::Placed(new QListWidget(this), "FileListBox_MERGE", 8, 340);
    FileListBox_MERGE->setFixedSize(200, 290);
    FileListBox_MERGE->setSelectionMode(QAbstractItemView::SingleSelection);
    FileListBox_MERGE->setAccessibleName(QStringLiteral("Files"));
    FileListBox_MERGE->setToolTip(
        QStringLiteral("Double-click a file to insert it into the merge list at the selected row"));

    StringGrid_MERGE = ui::Placed(new QTableWidget(kMaxMergeEntries, 4, this), "StringGrid_MERGE", 216, 8);
    StringGrid_MERGE->setFixedSize(452, 622);
    StringGrid_MERGE->verticalHeader()->hide();
    StringGrid_MERGE->verticalHeader()->setDefaultSectionSize(20);
    StringGrid_MERGE->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid_MERGE->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid_MERGE->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid_MERGE->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGrid_MERGE->horizontalHeader()->setHighlightSections(false);
    int column = 0;
    for (const int width : {40, 81, 91, 206})
        StringGrid_MERGE->setColumnWidth(column++, width);
    for (int r = 0; r < kMaxMergeEntries; ++r) {
        // The row numbers are the grid's fixed column: shown, never selected.
        auto* number = new QTableWidgetItem;
        number->setFlags(Qt::ItemIsEnabled);
        number->setBackground(palette().button());
        StringGrid_MERGE->setItem(r, 0, number);
    }
    StringGrid_MERGE->setAccessibleName(QStringLiteral("Merge list"));
    StringGrid_MERGE->setToolTip(
        QStringLiteral("The files to merge, in order, with their addresses in the image"));

    Label_TotalAddress = ui::PlacedLabel(this, "Label_TotalAddress", "Total:", 680, 8, 200);
    Label_MergeFileNo = ui::PlacedLabel(this, "Label_MergeFileNo", "Merged File No:", 680, 30, 200);

    BitBtn_UP = ui::PlacedButton(this, "BitBtn_UP", "Up", 680, 64, 110, 32, "Move the selected entry up");
    BitBtn_DOWN =
        ui::PlacedButton(this, "BitBtn_DOWN", "Down", 680, 100, 110, 32, "Move the selected entry down");
    BitBtn_DELETE = ui::PlacedButton(this, "BitBtn_DELETE", "Delete", 680, 136, 110, 32,
                                     "Remove the selected entry from the list");
    BitBtn_MERGE = ui::PlacedButton(this, "BitBtn_MERGE", "Merge", 680, 190, 110, 40,
                                    "Write the merged image (.BIN) and its offset table (_TBL.TXT)");
    BitBtn_FileListClear = ui::PlacedButton(this, "BitBtn_FileListClear", "Clear File List", 680, 262, 140,
                                            28, "Empty the list");
    BitBtn_FileListLoad = ui::PlacedButton(this, "BitBtn_FileListLoad", "Load File List", 680, 296, 140, 28,
                                           "Insert the files a list file names at the selected row");
    BitBtn_FileListSave = ui::PlacedButton(this, "BitBtn_FileListSave", "Save File List", 680, 330, 140, 28,
                                           "Write the list to a list file, one path a line");

    connect(FileListBox_MERGE, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { ui::RunGuarded([this] { FileListBox_MERGEDblClick(); }); });
    OnEnter(FileListBox_MERGE, [this] { FileListBox_MERGEDblClick(); });
    connect(DirectoryListBox_MERGE, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const QString path = item->data(kPathRole).toString();
        ui::RunGuarded([this, path] { DirectoryListBox_MERGEChange(path); });
    });
    OnEnter(DirectoryListBox_MERGE, [this] {
        if (QListWidgetItem* item = DirectoryListBox_MERGE->currentItem())
            DirectoryListBox_MERGEChange(item->data(kPathRole).toString());
    });
    connect(DriveComboBox_MERGE, &QComboBox::currentIndexChanged, this,
            [this](int) { ui::RunGuarded([this] { DriveComboBox_MERGEChange(); }); });
    connect(FilterComboBox_MERGE, &QComboBox::currentIndexChanged, this,
            [this](int) { ui::RunGuarded([this] { FilterComboBox_MERGEChange(); }); });
    connect(BitBtn_UP, &QPushButton::clicked, this, ui::Guarded([this] { BitBtn_UPClick(); }));
    connect(BitBtn_DOWN, &QPushButton::clicked, this, ui::Guarded([this] { BitBtn_DOWNClick(); }));
    connect(BitBtn_DELETE, &QPushButton::clicked, this, ui::Guarded([this] { BitBtn_DELETEClick(); }));
    connect(BitBtn_MERGE, &QPushButton::clicked, this, ui::Guarded([this] { BitBtn_MERGEClick(); }));
    connect(BitBtn_FileListClear, &QPushButton::clicked, this,
            ui::Guarded([this] { BitBtn_FileListClearClick(); }));
    connect(BitBtn_FileListLoad, &QPushButton::clicked, this,
            ui::Guarded([this] { BitBtn_FileListLoadClick(); }));
    connect(BitBtn_FileListSave, &QPushButton::clicked, this,
            ui::Guarded([this] { BitBtn_FileListSaveClick(); }));
}

void MergeTab::FormCreate() {
    // The current folder, which is the process's working directory until a folder is chosen. The drive,
    // folder and file lists (and the pictures beside them, which the icon theme supplies slowly) are
    // filled when the tab is first shown: a tab the user never opens costs nothing at start.
    directory_ = folder_.empty() ? QDir::currentPath() : QDir(ui::ToQt(folder_)).absolutePath();
}

int MergeTab::SelectedRow() const {
    return std::max(StringGrid_MERGE->currentRow(), 0) + 1;
}

void MergeTab::SelectRow(int row) {
    StringGrid_MERGE->setCurrentCell(std::clamp(row, 1, kMaxMergeEntries) - 1, 1);
}

void MergeTab::TabSheet_MERGEShow() {
    if (!shownOnce_) {
        ShowPictures({{BitBtn_UP, QStyle::SP_ArrowUp},
                      {BitBtn_DOWN, QStyle::SP_ArrowDown},
                      {BitBtn_DELETE, QStyle::SP_TrashIcon},
                      {BitBtn_MERGE, QStyle::SP_DialogSaveButton}});
        ShowDrives();
        ShowDirectory();
        shownOnce_ = true;
    }
    StringGrid_MERGE->setHorizontalHeaderLabels(
        {QStringLiteral("No."), QStringLiteral("Address"), QStringLiteral("Size"), QStringLiteral("Name")});
    for (int r = 1; r <= kMaxMergeEntries; ++r)
        SetCell(StringGrid_MERGE, r - 1, 0, ui::ToQt(RowNumberText(r)));
    SelectRow(SelectedRow());
    RefreshMergeList();
    // Files may have come and gone while another tab was in front.
    ShowFiles();
}

void MergeTab::RefreshMergeList() {
    const std::vector<std::uint32_t> addresses = list_.Addresses();
    for (int r = 1; r <= kMaxMergeEntries; ++r) {
        const bool used = r <= list_.MergeCount();
        const MergeEntry* e = used ? &list_.Entry(r) : nullptr;
        SetCell(StringGrid_MERGE, r - 1, 1,
                used ? ui::ToQt(HexCell(addresses[static_cast<size_t>(r - 1)])) : QString());
        SetCell(StringGrid_MERGE, r - 1, 2, used ? ui::ToQt(HexCell(e->Size)) : QString());
        SetCell(StringGrid_MERGE, r - 1, 3, used ? FromFileSystem(e->Name) : QString());
        if (used) StringGrid_MERGE->item(r - 1, 3)->setToolTip(FromFileSystem(e->Path));
    }
    Label_TotalAddress->setText(ui::ToQt(TotalText(list_)));
    Label_MergeFileNo->setText(ui::ToQt(CountText(list_)));
}

void MergeTab::FileListBox_MERGEDblClick() {
    const QListWidgetItem* item = FileListBox_MERGE->currentItem();
    if (!item || !item->isSelected()) return;
    const std::string path = ui::FromQt(QDir(directory_).filePath(item->text()));
    const EditResult result = AddFile(list_, SelectedRow(), path);
    SelectRow(result.selectRow);
    RefreshMergeList();
    if (result.failure) messages_.ShowMessage(*result.failure);
}

void MergeTab::BitBtn_DELETEClick() {
    SelectRow(DeleteEntry(list_, SelectedRow()));
    RefreshMergeList();
}

void MergeTab::BitBtn_DOWNClick() {
    SelectRow(MoveEntryDown(list_, SelectedRow()));
    RefreshMergeList();
}

void MergeTab::BitBtn_UPClick() {
    SelectRow(MoveEntryUp(list_, SelectedRow()));
    RefreshMergeList();
}

void MergeTab::BitBtn_FileListClearClick() {
    list_.Clear();
    SelectRow(1);
    RefreshMergeList();
}

void MergeTab::BitBtn_FileListSaveClick() {
    if (list_.Empty()) return;
    ui::DialogRestore restore(saveDialog_);
    saveDialog_.FileName = kFileListName;
    saveDialog_.Filter = kFileListFilter;
    saveDialog_.FilterIndex = 1;
    saveDialog_.DefaultExt.clear(); // the name is used as chosen
    if (!saveDialog_.Execute(dialogs_, folder_)) return;
    const SaveListResult result = SaveFileList(list_, saveDialog_.FileName);
    // The Merge tab tells everything in plain boxes: each entry left out, then the failure.
    for (const std::string& error : base::TextsOf(result.notes, base::Note::Kind::Error))
        messages_.ShowMessage(error);
    if (result.failure) messages_.ShowMessage(*result.failure);
    ShowFiles();
}

void MergeTab::BitBtn_FileListLoadClick() {
    ui::DialogRestore restore(openDialog_);
    openDialog_.FileName = kFileListName;
    openDialog_.Filter = kFileListFilter;
    openDialog_.FilterIndex = 1;
    if (openDialog_.Execute(dialogs_, folder_)) {
        const LoadListResult result = LoadFileList(list_, SelectedRow(), openDialog_.FileName);
        SelectRow(result.selectRow);
        RefreshMergeList();
        if (result.failure) messages_.DialogPrintError(1, *result.failure, result.detail);
        // The files and reasons belong to the first note, "%d File does not exit !".
        const std::vector<std::string> errors = base::TextsOf(result.notes, base::Note::Kind::Error);
        for (std::size_t i = 0; i < errors.size(); ++i)
            messages_.ShowMessage(errors[i], i == 0 ? result.detail : base::FailureDetail{});
    }
    RefreshMergeList();
}

void MergeTab::BitBtn_MERGEClick() {
    if (list_.Empty()) return;
    ui::DialogRestore restore(saveDialog_);
    saveDialog_.FileName = kMergeImageName;
    saveDialog_.Filter = kMergeImageFilter;
    saveDialog_.FilterIndex = 1;
    saveDialog_.DefaultExt.clear();
    if (!saveDialog_.Execute(dialogs_, folder_)) return;
    base::FailureDetail detail;
    if (const auto failure = MergeFiles(list_, saveDialog_.FileName, &detail))
        messages_.ShowMessage(*failure, detail);
    ShowFiles();
}

void MergeTab::DriveComboBox_MERGEChange() {
    const QString root = DriveComboBox_MERGE->currentData(kPathRole).toString();
    if (!root.isEmpty() && root != directory_) DirectoryListBox_MERGEChange(root);
}

void MergeTab::DirectoryListBox_MERGEChange(const QString& directory) {
    const QString path = QDir(directory).absolutePath();
    const std::string folder = ui::FromQt(path);
    if (!base::IsEnterableDirectory(folder)) {
        messages_.ShowMessage("Directory " + folder + " cannot be opened !");
        return;
    }
    directory_ = path;
    folder_ = base::JoinPath(folder, "");
    ShowDrives();
    ShowDirectory();
    ShowFiles();
}

void MergeTab::FilterComboBox_MERGEChange() {
    ShowFiles();
}

void MergeTab::ShowDrives() {
    // The mounted file systems stand for drives: the root first, then the others by their path.
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    roots.removeAll(QStringLiteral("/"));
    roots.sort();
    roots.prepend(QStringLiteral("/"));
    const QString current = QStorageInfo(directory_).rootPath();

    const QSignalBlocker quiet(DriveComboBox_MERGE);
    DriveComboBox_MERGE->clear();
    for (const QString& root : roots)
        DriveComboBox_MERGE->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), root, root);
    const int index = DriveComboBox_MERGE->findData(current, kPathRole);
    DriveComboBox_MERGE->setCurrentIndex(index >= 0 ? index : 0);
}

void MergeTab::ShowDirectory() {
    // The directories from the root down to the open one, then the directories inside it, each indented
    // below its parent.
    const QSignalBlocker quiet(DirectoryListBox_MERGE);
    DirectoryListBox_MERGE->clear();
    const QStringList parts = directory_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    QString path = QStringLiteral("/");
    auto add = [this](const QIcon& icon, const QString& text, const QString& target, int depth) {
        auto* item =
            new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + text, DirectoryListBox_MERGE);
        item->setData(kPathRole, target);
        return item;
    };
    QListWidgetItem* current = add(open, path, path, 0);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path = QDir(path).filePath(parts[i]);
        current = add(open, parts[i], path, static_cast<int>(i + 1));
    }
    const QStringList subdirectories =
        QDir(directory_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subdirectories)
        add(closed, name, QDir(directory_).filePath(name), static_cast<int>(parts.size() + 1));
    DirectoryListBox_MERGE->setCurrentItem(current);
}

void MergeTab::ShowFiles() {
    if (directory_.isEmpty()) return;
    const QString selected =
        FileListBox_MERGE->currentItem() ? FileListBox_MERGE->currentItem()->text() : QString();
    QString mask = FilterComboBox_MERGE->currentData().toString();
    // "*.*" means every file, also one without a dot in its name.
    if (mask == QStringLiteral("*.*") || mask.isEmpty()) mask = QStringLiteral("*");
    QDir dir(directory_);
    dir.setNameFilters({mask}); // matched without regard to case: *.BIN lists logo.bin
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    FileListBox_MERGE->clear();
    FileListBox_MERGE->addItems(files);
    const QList<QListWidgetItem*> again = FileListBox_MERGE->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !again.isEmpty()) FileListBox_MERGE->setCurrentItem(again.front());
}

} // namespace merge
