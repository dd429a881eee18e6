// The parameter file on disk: loading it (and holding it open so that no other
// copy of the program can read it), creating it, releasing it, and rewriting
// it when a set is saved or deleted. Never shows a message.
#pragma once

#include <windows.h>

// Opens the file at g_parameterFilePath with OpenForReadShared, keeps the
// handle, reads the file and builds the set list. 1 on success (also for an
// empty file); 0 when the file cannot be opened (missing, or held by another
// process), could not be read whole into memory, or is UTF-16 text (then it
// is not held). After a failure on a file that exists, Save and Delete
// rewrite it only after a load has succeeded again (they try one first): the
// set list no longer holds what the file holds.
int LoadParameterFile();

// Loads the file again after a rewrite of this program's own: releases it,
// then loads it as LoadParameterFile does, trying the open again for a
// moment (10 times, 50 ms apart) while another program reads the new file.
// 1 when held and loaded again.
int ReloadParameterFile();

// 0 when the last load failed because the file holds UTF-16 text, which the
// program cannot read (and so never writes over); else 1.
int IsParameterFileText();

// Creates (or truncates) the file, closes it, and opens and holds it again as
// LoadParameterFile does. The set list is not touched. 1 when held.
int CreateParameterFile();

// Closes the held handle, releases the text block and frees the set list.
void ReleaseParameterFile();

// Rewrites the file with the dialog's set under `name` first and every other
// stored set after it (a UTF-8 byte-order mark the file began with stays in
// front), then holds the file again. The file is replaced in one
// step: on any failure it stays as it was and 0 is returned with the set list
// unchanged. On success the first stored set of that name leaves the list.
// Does not reload.
int SaveSetFromDialog(HWND dialog, const char* name);

// Deletes the stored set `name` from the file and reloads it
// (ReloadParameterFile; IsParameterFileHeld tells whether that worked). 1
// when the set was deleted; 0 for an unknown name or a rewrite that failed
// (file and set list then unchanged).
int DeleteStoredSet(const char* name);

// Loads the parameter file when it exists, else creates it; either way it is
// held open afterwards. 1 when held; 0 leaves the system's error code as the
// last error.
int TakeParameterFile();

// 1 while the parameter file handle is open.
int IsParameterFileHeld();
