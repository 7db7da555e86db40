#include "shared/install.h"
#include "workspace/frmMain.h"

// Commands whose windows and procedures come with their own features.

// Closes the open tool windows and shows the study-plan dialog.
void frmMain::mnuSchedule_Click() {}

// Asks whether to leave; until it asks, leaving simply ends the program.
void frmMain::QueryForCloseProc() {
    EndProgram();
}

// Sends the typed sentence to the checking engine and shows its result.
void frmMain::PassStringToEngine() {}

// Builds the study-progress page of the LXV edition.
void frmMain::CalcProgressPage() {}

// Builds the study-progress page of the LXQ and LXM editions.
void frmMain::CalcProgressPageLXQ() {}

// Builds the error-statistics page of the LXV edition.
void frmMain::GetHtmlListAllErrType() {}

// Builds the error-statistics page of the LXQ and LXM editions.
void frmMain::GetHtmlListAllErrTypeLXQ() {}

// Brings the learner's records and the service's together.
void frmMain::SyncProcess(bool) {}
