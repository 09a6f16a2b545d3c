#pragma once

// The lowest layer: what every other one leans on. It depends on nothing.
//
// text.h          byte-string helpers (Split, TrimSpaces, UpperCase, LowerCase, WithLineFeeds)
// line_reader.h   OpenFileHandle, ReadFileLine, CloseFileHandle, EndMark, LineSource
// file_bytes.h    ReadFileBytes: a whole file, or a failure naming it
// gzip_file.h     ReadPlainOrGzipFile: a whole file, decompressed when gzip-compressed
// output_file.h   files written under a temporary name and renamed when complete
// run_failure.h   RunFailure, RunStopped: what ends a run
// paths.h         the fixed relative paths under the installation folder
// installation.h  the program's folder and required files
// version.h       the version, written by the build

#include "core/file_bytes.h"
#include "core/gzip_file.h"
#include "core/installation.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "core/version.h"
