// Library tree of the main window (placeholder until it is built).
#include "app/MainForm.h"

void TMainForm::RefreshTree() {}
void TMainForm::RzCheckTree1Change(QTreeWidgetItem *) {}
void TMainForm::ShowArticle(TArticle *, const TLineList &) {}
void TMainForm::ShowBook(TDir *) {}
void TMainForm::ShowLibrarySummary() {}
QList<TArticle *> TMainForm::GetCheckedArticles() const { return {}; }
