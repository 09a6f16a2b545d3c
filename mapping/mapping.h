#pragma once

// Target mapping: predictor outputs -> one miRNA set per lncRNA.
//
// pipelines.h          MapTargetScanOnly, MapMirandaOnly, MapBothUnion, MapBothIntersection, RunMapping
// targetscan_reader.h  ExtractTargetScanPairs (site finder output -> pair file, reference list applied)
// miranda_reader.h     ExtractMirandaPairs (scanner output -> pair file)
// pair_table.h         PairTable, GroupPairs, MergePairsUnion, MergePairsIntersection
// set_file.h           WriteLncMirSets (grouped pairs -> lnc_mirset.txt)
// mirna_name.h         NormaliseMirnaName

#include "mapping/miranda_reader.h"
#include "mapping/mirna_name.h"
#include "mapping/pair_table.h"
#include "mapping/pipelines.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"
