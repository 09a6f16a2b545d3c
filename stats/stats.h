#pragma once

// Association statistics, on sets and numbers only (no files of a run).
//
// enrichment.h       Enrichment: one lncRNA set against the disease sets -> reported associations
// false_discovery.h  BenjaminiHochberg: adjusted P-values
// fisher.h           TableProbability, FisherExactP, FisherCache
// decimal_text.h     MultiplyDigits, MultiplyDecimal, DivideDecimal on decimal texts
// factorial_table.h  FactorialTable, LoadFactorialTable (a collection's mulnum.txt), FactorialFile
// number_format.h    GeneralNumber, ParseNumber

#include "stats/decimal_text.h"
#include "stats/enrichment.h"
#include "stats/factorial_table.h"
#include "stats/false_discovery.h"
#include "stats/fisher.h"
#include "stats/number_format.h"
