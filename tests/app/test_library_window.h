#pragma once

#include "app/MainForm.h"
#include "app/MessageBox.h"
#include "support/StoreFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// The main window on a temporary library: the store fixture's database and settings, the
// window built on those settings, the message boxes answered through their test hook. The
// window is shown, so its first show has filled the tree from the database.
class TLibraryWindow {
public:
    // Rows go into the database before the window fills its tree.
    template <typename Fill> explicit TLibraryWindow(Fill fill) {
        TMessageBoxHook::Install();
        fill(Store);
        Form = std::make_unique<TMainForm>(Store.Settings());
        Form->show();
    }
    TLibraryWindow() : TLibraryWindow([](TStoreFixture &) {}) {}
    ~TLibraryWindow() {
        Form.reset();
        TMessageBoxHook::Uninstall();
    }

    TLibraryWindow(const TLibraryWindow &) = delete;
    TLibraryWindow &operator=(const TLibraryWindow &) = delete;

    QTreeWidget *Tree() const { return Form->RzCheckTree1; }
    QTreeWidgetItem *Root() const { return Tree()->topLevelItem(0); }

    // A node by its path below the root: "book" or "book/title"; null when there is none.
    QTreeWidgetItem *Node(const QString &path) const {
        QTreeWidgetItem *node = Root();
        for (const QString &caption : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            QTreeWidgetItem *found = nullptr;
            for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
                if (node->child(i)->text(0) == caption) {
                    found = node->child(i);
                    break;
                }
            }
            node = found;
        }
        return node;
    }

    QStringList Captions(const QTreeWidgetItem *node) const {
        QStringList captions;
        for (int i = 0; i < node->childCount(); ++i) {
            captions << node->child(i)->text(0);
        }
        return captions;
    }

    // Selects a node as a click on its caption would.
    void Select(QTreeWidgetItem *node) const { Tree()->setCurrentItem(node); }
    void Select(const QString &path) const { Select(Node(path)); }

    // Toggles a node's check box as the space key on the selected node does.
    void Toggle(const QString &path) const {
        Select(path);
        Tree()->setFocus();
        QTest::keyClick(Tree(), Qt::Key_Space);
    }

    QStringList CheckedTitles() const {
        QStringList titles;
        for (const TArticle *article : Form->GetCheckedArticles()) {
            titles << article->Title;
        }
        return titles;
    }

    QWidget *Page() const { return Form->RzPageControl1->currentWidget(); }

    // The texts of the boxes shown since the last call.
    QStringList TakeShown() const {
        QStringList texts;
        for (const TMessageBoxHook::TShown &shown : TMessageBoxHook::Shown()) {
            texts << shown.Text;
        }
        TMessageBoxHook::ClearShown();
        return texts;
    }

    TStoreFixture Store;
    std::unique_ptr<TMainForm> Form;
};
