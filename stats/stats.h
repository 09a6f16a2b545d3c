#pragma once

// Association statistics and results.
//
// enrichment.h       WriteEnrichmentTable: every lncRNA set against the 372 disease sets -> result.xls
// fisher.h           TableProbability, FisherExactP, FisherCache
// decimal_text.h     MultiplyDigits, MultiplyDecimal, DivideDecimal on decimal texts
// factorial_table.h  FactorialTable, LoadFactorialTable (lib/mulnum.txt)
// number_format.h    GeneralNumber, ParseNumber
// result_rows.h      AddResultRow: a reported association to the list and the store
// result_store.h     ResultStore: the rows the column sort works on
// run_log.h          AppendLogLine, DateTimeText
// frontend.h         Frontend: what the engine needs from a window, a command line or a test

#include "stats/decimal_text.h"
#include "stats/enrichment.h"
#include "stats/factorial_table.h"
#include "stats/fisher.h"
#include "stats/frontend.h"
#include "stats/number_format.h"
#include "stats/result_rows.h"
#include "stats/result_store.h"
#include "stats/run_log.h"
