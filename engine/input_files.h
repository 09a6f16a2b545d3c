#pragma once

// The two predictor input files, written together in one pass over the input.

#include <filesystem>
#include <stop_token>

#include "core/byte_stream.h"

namespace velmora {

// Reads the FASTA input as ReadLncRnaFasta does and writes, a piece of
// sequence at a time:
// - the scanner's input: per record ">" NAME [" " DESCRIPTION], CR LF, the
//   sequence, CR LF; name and description upper-cased;
// - the site finder's input: per record ">" NAME TAB "9606" TAB sequence CR
//   LF, the name upper-cased as the scanner reports it, so that both
//   predictors name the record alike.
// A failure or a stop request leaves neither file.
void WritePredictorInputs(ByteStream& input, const std::filesystem::path& miranda,
                          const std::filesystem::path& targetScan, std::stop_token stop = {});

}  // namespace velmora
