#pragma once
#include <string>

#include "platform/status.h"

#include "store/history_stream.h"
#include "store/sent_history.h"

// The history's compound file: the stream "SentSMSs_Profile" at the root,
// and beside it, only when there are any, the reminders that may have been
// sent in a stream "UncertainSMSs_Profile" of the same format.

// Reads the file's entries into `parsed`. 0 when the whole stream was read;
// `parsed.damaged` then tells whether its data ended early or held an
// impossible entry, `parsed.entries` holding the whole entries before that
// point. Otherwise the platform's code: either the file could not be opened
// (none, locked by another process, not a compound file, no stream), and
// `parsed` is empty; or the stream could not be read to its end (a read
// error, a stream over the size cap), and `parsed` holds the entries read
// before, marked damaged. `uncertain`, when given, gets whatever of the
// uncertain reminders can be read.
HResult ReadHistoryFile(const std::wstring& path, ParsedHistory& parsed, HistoryEntries* uncertain = nullptr);

// Saves `history` merged with what the file holds at this moment (memory
// wins per key, MergeForSave), so that a history loaded from a file that
// was locked or damaged, or a file that another process saved meanwhile,
// never loses the entries the file already had. The file is held
// exclusively from the read to the end of the write; the merged entries
// go into a new compound file beside `path`, which then moves over `path`,
// so an interrupted save leaves the old file whole.
//
// Fails with the platform's code, writing nothing, when the file cannot be
// opened for saving (locked by another process, read-only, not a compound
// file) or cannot be read to its end (a read error, a stream over the size
// cap): saving then would throw away entries that are in the file. A
// stream whose data is damaged is not such a failure: its whole entries
// before the damage are all that anyone can read from it, and they are
// saved with the memory's. A compound file without the stream, and an
// empty file, hold no entries and are replaced.
//
// `removed`, when given, takes entries out of both the file's and the
// memory's accepted and uncertain reminders in the same save, so that an
// entry the user removed does not come back from either side.
//
// On success `history` holds exactly what the file now holds; on failure it
// is left unchanged.
HResult SaveHistoryFile(const std::wstring& path, SentHistory& history, const EntryFilter& removed = {});
