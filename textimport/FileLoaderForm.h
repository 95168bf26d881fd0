#pragma once

#include "store/IBlockService.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class TGlobalManager;
class TPopupNotice;
struct TImportedFile;

// The batch import window "批量录入文章": every txt file below a folder becomes an article of
// one book. Both buttons close it with the result OK once their handler has returned; the
// main window then rebuilds its tree.
class TFileLoaderForm : public QDialog {
    Q_OBJECT

public:
    // The settings give the theme and the application folder (where the text loader lies).
    explicit TFileLoaderForm(const TGlobalManager &settings, QWidget *parent = nullptr);
    ~TFileLoaderForm() override;

    void SetService(IBlockServicePtr service);
    // The book chosen in the main window, possibly empty; it becomes the book box's text.
    void SetDirName(const QString &name);

    // ---- Components ----
    QGroupBox *RzGroupBox2 = nullptr; // 设置
    QLabel *RzLabel1 = nullptr;
    QLineEdit *EdtFileName = nullptr; // the folder, with its folder button
    QAction *EdtFileNameButton = nullptr;
    QLabel *RzLabel2 = nullptr;
    QComboBox *CbxDir = nullptr;
    QPushButton *suiButton2 = nullptr; // 开始导入
    QPushButton *suiButton1 = nullptr; // 取消导入
    QGroupBox *RzGroupBox1 = nullptr;  // 日志
    QLabel *RzPanel1 = nullptr;        // the status line
    QProgressBar *PbFile = nullptr;    // progress of the file being read
    QTreeWidget *RzListView1 = nullptr;
    TPopupNotice *suiMSNPopForm1 = nullptr;

    // Text files imported since the window opened (the status line's count).
    int RzPanel1Tag = 0;

    // ---- Handlers ----
    void EdtFileNameButtonClick();
    void suiButton2Click(); // start
    void suiButton1Click(); // cancel

    bool Running() const { return FRunning; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public slots:
    void reject() override;

private:
    void CreateLayout();
    void FormShow();
    void AddRow(const TImportedFile &file);
    void ShowProgress(qint64 done, qint64 total);

    const TGlobalManager &FSettings;
    IBlockServicePtr FBlockService;
    QString FDirName;
    bool FCanceled = false;
    bool FRunning = false;
    bool FShown = false;
};
