#include "textimport/FileLoaderForm.h"

#include "app/Application.h"
#include "app/Const.h"
#include "app/FileDialog.h"
#include "app/GlobalManager.h"
#include "app/MessageBox.h"
#include "app/ThemeManager.h"
#include "textimport/PopupNotice.h"
#include "textimport/TextImportRun.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr QSize ClientSize(594, 333);
// Where the hint pops up: this far from the screen's right and bottom edges.
constexpr int PopupFromRight = 200;
constexpr int PopupFromBottom = 150;
constexpr int PopupFadeInMs = 400;
constexpr int PopupStayMs = 8000;
constexpr int ProgressSteps = 1000;

enum TRowPicture { Stored = 0, Failed = 1 };

// The two small pictures of the log: a green tick for a stored file, a red cross for a
// failed one.
QIcon RowIcon(TRowPicture picture) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = picture == Stored ? QColor(0x2E, 0x9D, 0x3A) : QColor(0xD0, 0x30, 0x30);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(1, 1, 14, 14));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (picture == Stored) {
        painter.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5.5)}));
    } else {
        painter.drawLine(QPointF(5, 5), QPointF(11, 11));
        painter.drawLine(QPointF(11, 5), QPointF(5, 11));
    }
    return QIcon(pixmap);
}

const QIcon &StoredIcon() {
    static const QIcon icon = RowIcon(Stored);
    return icon;
}

const QIcon &FailedIcon() {
    static const QIcon icon = RowIcon(Failed);
    return icon;
}

} // namespace

TFileLoaderForm::TFileLoaderForm(const TGlobalManager &settings, QWidget *parent)
    : QDialog(parent), FSettings(settings) {
    setObjectName(QStringLiteral("FileLoaderForm"));
    setWindowTitle(QStringLiteral("批量录入文章"));
    setFont(ThemeManager::DefaultFont());
    CreateLayout();
    setFixedSize(ClientSize);

    connect(EdtFileNameButton, &QAction::triggered, this,
            Guarded(EdtFileNameButton, [this] { EdtFileNameButtonClick(); }));
    connect(suiButton2, &QPushButton::clicked, this, Guarded(suiButton2, [this] {
                // The window closes with OK once the handler has returned, also after an
                // error, which the error handler then reports.
                std::exception_ptr failure;
                try {
                    suiButton2Click();
                } catch (...) {
                    failure = std::current_exception();
                }
                accept();
                if (failure) {
                    std::rethrow_exception(failure);
                }
            }));
    connect(suiButton1, &QPushButton::clicked, this, Guarded(suiButton1, [this] {
                suiButton1Click();
                // During a run the run's own handler closes the window when it has finished.
                if (!FRunning) {
                    accept();
                }
            }));
}

TFileLoaderForm::~TFileLoaderForm() = default;

void TFileLoaderForm::CreateLayout() {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);

    RzGroupBox2 = new QGroupBox(QStringLiteral("设置"), this);
    RzGroupBox2->setObjectName(QStringLiteral("RzGroupBox2"));
    auto *settingsGrid = new QGridLayout(RzGroupBox2);
    settingsGrid->setContentsMargins(10, 6, 10, 8);
    settingsGrid->setVerticalSpacing(4);
    RzLabel1 =
        new QLabel(QStringLiteral("请选择一个目录，该目录下含有txt格式的文本文件"), RzGroupBox2);
    RzLabel1->setObjectName(QStringLiteral("RzLabel1"));
    EdtFileName = new QLineEdit(RzGroupBox2);
    EdtFileName->setObjectName(QStringLiteral("EdtFileName"));
    EdtFileNameButton = EdtFileName->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                               QLineEdit::TrailingPosition);
    EdtFileNameButton->setObjectName(QStringLiteral("EdtFileNameButton"));
    EdtFileNameButton->setToolTip(QStringLiteral("选择目录"));
    RzLabel2 = new QLabel(QStringLiteral("请选择一个书目"), RzGroupBox2);
    RzLabel2->setObjectName(QStringLiteral("RzLabel2"));
    CbxDir = new QComboBox(RzGroupBox2);
    CbxDir->setObjectName(QStringLiteral("CbxDir"));
    CbxDir->setEditable(true);
    CbxDir->setInsertPolicy(QComboBox::NoInsert);
    suiButton2 = new QPushButton(QStringLiteral("开始导入"), RzGroupBox2);
    suiButton2->setObjectName(QStringLiteral("suiButton2"));
    suiButton2->setAutoDefault(false);
    suiButton1 = new QPushButton(QStringLiteral("取消导入"), RzGroupBox2);
    suiButton1->setObjectName(QStringLiteral("suiButton1"));
    suiButton1->setAutoDefault(false);
    settingsGrid->addWidget(RzLabel1, 0, 0, 1, 4);
    settingsGrid->addWidget(EdtFileName, 1, 0, 1, 4);
    settingsGrid->addWidget(RzLabel2, 2, 0, 1, 4);
    settingsGrid->addWidget(CbxDir, 3, 0);
    settingsGrid->addWidget(suiButton2, 3, 2);
    settingsGrid->addWidget(suiButton1, 3, 3);
    settingsGrid->setColumnStretch(0, 1);
    settingsGrid->setColumnMinimumWidth(1, 20);
    layout->addWidget(RzGroupBox2);

    RzGroupBox1 = new QGroupBox(QStringLiteral("日志"), this);
    RzGroupBox1->setObjectName(QStringLiteral("RzGroupBox1"));
    auto *logLayout = new QVBoxLayout(RzGroupBox1);
    logLayout->setContentsMargins(10, 6, 10, 8);
    logLayout->setSpacing(4);
    auto *statusRow = new QHBoxLayout;
    RzPanel1 = new QLabel(ImportStatusText(0, 0), RzGroupBox1);
    RzPanel1->setObjectName(QStringLiteral("RzPanel1"));
    PbFile = new QProgressBar(RzGroupBox1);
    PbFile->setObjectName(QStringLiteral("PbFile"));
    PbFile->setRange(0, ProgressSteps);
    PbFile->setMaximumHeight(14);
    PbFile->setMaximumWidth(180);
    PbFile->setTextVisible(false);
    PbFile->setToolTip(QStringLiteral("正在读取的文件"));
    PbFile->hide();
    statusRow->addWidget(RzPanel1, 1);
    statusRow->addWidget(PbFile);
    logLayout->addLayout(statusRow);

    RzListView1 = new QTreeWidget(RzGroupBox1);
    RzListView1->setObjectName(QStringLiteral("RzListView1"));
    RzListView1->setColumnCount(4);
    RzListView1->setHeaderLabels({QStringLiteral("文章标题"), QStringLiteral("作者"),
                                  QStringLiteral("目录"), QStringLiteral("路径")});
    const int widths[] = {200, 60, 60, 189};
    for (int column = 0; column < 4; ++column) {
        RzListView1->setColumnWidth(column, widths[column]);
    }
    RzListView1->header()->setStretchLastSection(false);
    RzListView1->setRootIsDecorated(false);
    RzListView1->setItemsExpandable(false);
    RzListView1->setUniformRowHeights(true);
    RzListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    RzListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RzListView1->setIconSize(QSize(16, 16));
    logLayout->addWidget(RzListView1, 1);
    layout->addWidget(RzGroupBox1, 1);

    suiMSNPopForm1 = new TPopupNotice(this);
    suiMSNPopForm1->setObjectName(QStringLiteral("suiMSNPopForm1"));
    suiMSNPopForm1->SetTitle(QStringLiteral("提示"));
    suiMSNPopForm1->SetText(Const::Message(Const::BatchImportHint));
}

void TFileLoaderForm::SetService(IBlockServicePtr service) {
    FBlockService = std::move(service);
}

void TFileLoaderForm::SetDirName(const QString &name) {
    FDirName = name;
    CbxDir->setEditText(name);
}

void TFileLoaderForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TFileLoaderForm::FormShow() {
    ThemeManager::ApplyTheme(this, FSettings);
    std::exception_ptr failure;
    try {
        if (FBlockService) {
            CbxDir->addItems(FBlockService->GetDirNames());
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // Filling the list picks its first entry; the book handed over stays the text.
    CbxDir->setEditText(FDirName);
    EdtFileName->setFocus();
    if (const QScreen *shown = screen()) {
        const QRect area = shown->geometry();
        suiMSNPopForm1->Popup(QPoint(area.x() + area.width() - PopupFromRight,
                                     area.y() + area.height() - PopupFromBottom),
                              PopupFadeInMs, PopupStayMs);
    }
    if (failure) {
        TApplication::ReportException(failure, this, nullptr);
    }
}

void TFileLoaderForm::EdtFileNameButtonClick() {
    const QString folder = FileDialog::GetExistingDirectory(
        this, Const::Message(Const::ChooseFolder),
        QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    if (!folder.isEmpty()) {
        EdtFileName->setText(folder);
    }
}

void TFileLoaderForm::suiButton2Click() {
    if (FRunning || !FBlockService) {
        return;
    }
    FCanceled = false;
    FRunning = true;
    suiButton2->setEnabled(false);

    TImportHooks hooks;
    hooks.BookName = [this] {
        return CbxDir->currentText();
    };
    hooks.Canceled = [this] {
        return FCanceled;
    };
    hooks.FileDone = [this](const TImportedFile &file, int position) {
        AddRow(file);
        if (file.Stored) {
            ++RzPanel1Tag;
        }
        // The status line moves for a failed file too: its first figure is where the run is.
        RzPanel1->setText(ImportStatusText(position, RzPanel1Tag));
    };
    hooks.Progress = [this](qint64 done, qint64 total) {
        ShowProgress(done, total);
    };
    hooks.FileHandled = [] {
        QCoreApplication::processEvents();
    };

    TTextImportRun run(*FBlockService, FSettings.AppDir());
    TImportResult result;
    try {
        result = run.Run(EdtFileName->text(), hooks);
    } catch (...) {
        FRunning = false;
        suiButton2->setEnabled(true);
        PbFile->hide();
        throw;
    }
    FRunning = false;
    PbFile->hide();
    switch (result.Outcome) {
    case TImportOutcome::PathNotFound:
        MessageBox::Notice(this, Const::Message(Const::PathNotFound));
        break;
    case TImportOutcome::EmptyBookName:
        MessageBox::Notice(this, Const::Message(Const::EmptyBookName));
        break;
    case TImportOutcome::ReadOnlyLibrary:
        MessageBox::Notice(this, Const::Message(Const::ReadOnlyNoImport));
        break;
    case TImportOutcome::NoLoader:
        MessageBox::Notice(this, Const::Message(Const::TextLoaderMissing) + u'\n' + result.Detail);
        break;
    case TImportOutcome::Finished:
        MessageBox::Notice(this, Const::Message(Const::BatchImportDone));
        break;
    }
    suiButton2->setEnabled(true);
    if (result.Error) {
        std::rethrow_exception(result.Error);
    }
}

void TFileLoaderForm::suiButton1Click() {
    FCanceled = true;
}

void TFileLoaderForm::AddRow(const TImportedFile &file) {
    auto *row = new QTreeWidgetItem(RzListView1);
    if (file.Stored) {
        row->setText(0, file.Title);
        row->setText(1, file.Author);
        row->setText(2, file.Dir);
        row->setIcon(0, StoredIcon());
        row->setData(0, Qt::UserRole, Stored);
    } else {
        row->setIcon(0, FailedIcon());
        row->setData(0, Qt::UserRole, Failed);
        row->setToolTip(0, file.Error);
    }
    row->setText(3, file.Path);
    if (file.Stored) {
        row->setToolTip(3, file.Path + QStringLiteral("（") + file.Encoding + QStringLiteral("）"));
    } else {
        row->setToolTip(3, file.Path + u'\n' + file.Error);
    }
    RzListView1->scrollToItem(row);
}

void TFileLoaderForm::ShowProgress(qint64 done, qint64 total) {
    PbFile->setVisible(true);
    PbFile->setValue(total <= 0
                         ? ProgressSteps
                         : static_cast<int>(qMin<qint64>(done, total) * ProgressSteps / total));
}

void TFileLoaderForm::closeEvent(QCloseEvent *event) {
    // A close request during a run does not stop it: the window closes when it has finished.
    if (FRunning) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFileLoaderForm::reject() {
    if (FRunning) {
        return;
    }
    QDialog::reject();
}
