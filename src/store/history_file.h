#pragma once
#include <string>

#include "store/sent_history.h"

// The history's compound file: one stream "SentSMSs_Profile" at the root.

// Replaces `history` by the file's entries (those before any damage in the
// stream). On a failed open, returns the platform's code and leaves
// `history` unchanged.
long ReadHistoryFile(const std::wstring& path, SentHistory& history);

// Writes `entries` into a new compound file beside `path` and then moves it
// over `path`, so that an interrupted save leaves the old file whole. A file
// that cannot be opened for saving (locked by another process, not a
// compound file) fails with its code before anything is written.
long WriteHistoryFile(const std::wstring& path, const HistoryEntries& entries);
