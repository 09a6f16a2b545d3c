#pragma once

// The lowest layer: what every other one leans on. It uses no other layer
// (only the system, zlib and nettle).
//
// text.h          byte-string helpers (Split, TrimSpaces, UpperCase, LowerCase, WithLineFeeds)
// line_reader.h   LineFile, LineSource, EndMark; FileHandles: the line reader every file is read with
// file_bytes.h    FileStream, ReadFileBytes: a file's bytes, or a failure naming it
// byte_stream.h   ByteStream, MemoryStream: input read a block at a time
// gzip_file.h     PlainOrGzipStream, ReadPlainOrGzipFile: a file, decompressed when gzip-compressed
// input_source.h  InputSource: a run's input (text, a file, a spooled descriptor), opened once per pass
// fasta_records.h ReadFastaRecords: the FASTA reader every caller cuts its records with
// text_lines.h    TextLines: the lines of a stream in pieces, ended by LF, CR LF or CR
// output_file.h   files written under a temporary name and renamed when complete
// sha256.h        Sha256FileHex: the digest of a file, streamed
// run_failure.h   RunFailure, RunStopped: what ends a run
// standard_streams.h OpenMissingStandardStreams: descriptors 0-2 never left free
// paths.h         the fixed relative paths under the installation folder
// installation.h  the program's folder and required files
// version.h       the version, written by the build

#include "core/byte_stream.h"
#include "core/fasta_records.h"
#include "core/file_bytes.h"
#include "core/gzip_file.h"
#include "core/input_source.h"
#include "core/installation.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/standard_streams.h"
#include "core/text.h"
#include "core/text_lines.h"
#include "core/version.h"
