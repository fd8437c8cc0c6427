#pragma once

class QObject;

namespace qe::gui {

QObject* makeEditingTests();
QObject* makeDocumentTests();
QObject* makeDialogTests();
QObject* makePrintingTests();
QObject* makeExportTests();
QObject* makeEditMenuTests();
QObject* makePlaybackTests();
QObject* makeRecoveryTests();
QObject* makeWorkbenchTests();
QObject* makeLanguageTests();

}  // namespace qe::gui
