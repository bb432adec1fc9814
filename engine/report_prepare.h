#pragma once
// The report's prepare and show operations. The report's owner gives it its prepared pages
// (report->PreviewPages, a TfrxPreviewPages that outlives every call); a band engine is made for
// each preparation and is the report's Engine while it runs.
//
// Widgets live above the engine: the preview window and the error message box are installed as
// hooks by the layers that have them.
#include <QString>

#include <functional>

class TfrxReport;
class TfrxPreviewPages;

// Builds the prepared pages; with clearLastReport the pages of an earlier run are discarded
// first. The report is saved before the run and restored after it (DestroyForms), so every value
// a run changes is back to its design value. False when errors were collected; they are then
// reported as the engine options' NewSilentMode says.
bool frxPrepareReport(TfrxReport *report, bool clearLastReport = true);

// Prepares (again) and shows the pages in the preview window: with OldStyleProgress off the
// window opens at once and the preparation starts from a 50 ms timer inside its message loop.
void frxShowReport(TfrxReport *report, bool clearLastReport = true);

// Reports the collected errors as "Erro(s) encontrado(s):", CR LF and the errors, as the engine
// options' NewSilentMode says: an error box, nothing, or an Erro raised with that text.
void frxReportErrors(TfrxReport *report);

// The report's prepared pages; fails when the owner has given it none.
TfrxPreviewPages &frxPreparedPages(TfrxReport *report);

// The preview window, installed by the preview layer. Show is modal: it returns when the window
// is closed, and runs a message loop meanwhile, in which the pending preparation starts. Close
// closes the window a failed preparation opened.
struct TfrxPreviewHost {
    std::function<void(TfrxReport *)> Show;
    std::function<void(TfrxReport *)> Close;
};
void frxSetPreviewHost(TfrxPreviewHost host);

// The error box of simMessageBoxes: title and text. Without one the text goes to stderr.
void frxSetErrorBox(std::function<void(const QString &title, const QString &text)> box);
