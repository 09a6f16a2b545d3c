#pragma once

#include <filesystem>

#include "engine/pair_sources.h"
#include "engine/session.h"

namespace velmora {

// How many associations a table reported, and for how many of its lncRNAs.
struct EnrichmentSummary {
  std::size_t associations = 0;
  std::size_t lncRNAs = 0;            // lncRNAs tested
  std::size_t lncRNAsWithResult = 0;  // lncRNAs with at least one association
};

// Where the evidence file goes, and which predictor found each pair.
struct EvidenceOutput {
  std::filesystem::path path;
  const PairSources& sources;
};

// Tests every lncRNA set of the set file against every disease set and
// writes the reported associations to the result file; with bShowRows each
// also goes to the front end's list. Everything is checked before a row is
// shown: as many non-empty disease lines as the MANIFEST beside the disease
// file counts, a factorial table that reaches its universe size, no miRNA
// twice on a disease line, no 2x2 table with a negative count. A violation, an unreadable input or a stop
// request throws, and the result file is then not written at all. With
// `evidence`, the evidence file (evidence_file.h) is written beside it. The
// three switches keep the design's signature; every pipeline passes true.
EnrichmentSummary WriteEnrichmentTable(Session& session, const std::filesystem::path& diseaseSetPath,
                                       const std::filesystem::path& lncMirSetPath,
                                       const std::filesystem::path& resultPath, bool diseaseStopAtLineFeed,
                                       bool lncStopAtLineFeed, bool bShowRows,
                                       const EvidenceOutput* evidence = nullptr);

}  // namespace velmora
