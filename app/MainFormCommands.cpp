// Library commands of the main window (placeholder until they are built).
#include "app/MainForm.h"

void TMainForm::AddArticleExecute() {}
void TMainForm::FileToArticleExecute() {}
void TMainForm::DeleteArticlesExecute() {}
void TMainForm::AddDirExecute() {}
void TMainForm::ExportArticlesExecute() {}
void TMainForm::ImportArticlesExecute() {}
void TMainForm::RzBitBtn1Click() {}
void TMainForm::RzBitBtn3Click() {}
void TMainForm::EditCutCmdExecute() {}
void TMainForm::EditCopyCmdExecute() {}
void TMainForm::EditPasteCmdExecute() {}
void TMainForm::EditUndoCmdExecute() {}
void TMainForm::RzToolbarButton2Click() {}
void TMainForm::RzToolbarButton6Click() {}
void TMainForm::RzToolbarButton7Click() {}
