// The install driver: one installation run, its phases in their fixed order on a worker thread,
// while the UI thread keeps the pages alive.
#pragma once
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace tw {

struct FileEntry;
struct InstallSession;
struct Platform;
class RollbackJournal;
class Trace;

// Fixes where the payload and the log are, starts a fresh log, runs the phases on a worker while
// pumping messages, and leaves the progress bar full. fileList keeps the payload list afterwards.
void StartInstall(InstallSession& session, std::vector<FileEntry>& fileList);

// Undoes everything the journal holds, on a worker while the UI thread pumps, and traces the end.
// A run that merge modules follow (KeepWorkDir) ends with its journal still held: the caller
// commits it once they are done, or undoes it with this when one fails.
void UndoChanges(RollbackJournal& journal, Platform& platform, Trace& trace);

// The phases, on the worker thread.
void Iniciar(InstallSession& session, std::vector<FileEntry>& fileList);

// The engine's own error box: "Error Number: %i\r\nMessage: %s" with an OK button, and below it
// the system's reason when a platform call failed (error), as its trace line has it.
void ShowEngineError(InstallSession& session, int number, const std::string& message, SystemError error = {});

}  // namespace tw
