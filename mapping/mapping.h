#pragma once

// Target mapping: predictor outputs -> pair files -> one miRNA set per lncRNA.
// Every function reads and writes files by the paths it is given; a stop
// token, when given, ends a long read with RunStopped.
//
// targetscan_reader.h  ExtractTargetScanPairs (site finder output -> pair file, reference list applied)
// miranda_reader.h     ExtractMirandaPairs (scanner output -> pair file)
// pair_table.h         PairTable, GroupPairs, MergePairsUnion, MergePairsIntersection
// set_file.h           WriteLncMirSets (grouped pairs -> lnc_mirset.txt)
// mirna_name.h         NormaliseMirnaName
// name_numbers.h       NameNumbers (names as numbers in order of first appearance)

#include "mapping/miranda_reader.h"
#include "mapping/mirna_name.h"
#include "mapping/name_numbers.h"
#include "mapping/pair_table.h"
#include "mapping/set_file.h"
#include "mapping/targetscan_reader.h"
