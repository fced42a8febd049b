// The history's two files in the world folder, "stats.csv" (the samples) and
// "genes.csv" (the gene series); their formats are documented with the
// others in world/world_files.h. A save writes both; a load reads them back,
// and a folder without them loads with an empty history.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/world.h"
#include "genetics/gene_census.h"
#include "world/file_system.h"
#include "world/history_file.h"

namespace ombrivale {

inline constexpr const char* kStatisticsFileName = "stats.csv";
inline constexpr const char* kGenesFileName = "genes.csv";

// The files' text, replacing `out`. The gene series' columns are those of
// `series`, the genes the history follows unless a test or a fuzz target
// gives a few.
void StatisticsFileText(const History& history, std::string& out);
void GenesFileText(const GeneHistory& genes, std::string& out,
                   std::span<const SeriesGene> series = SeriesGenes());

// Read the files back. Each returns OK when the text is sound, else
// Corruption saying what is wrong and where ("line 7 is cut short (no end of line)",
// "line 4, column months: '0' is out of range"), and then leaves its target
// untouched. The samples' bookkeeping (`recorded`, the date last sampled)
// follows the rows read; the gene series is left to ParseGenesFile.
Status ParseStatisticsFile(std::string_view text, History& history);
Status ParseGenesFile(std::string_view text, GeneHistory& genes,
                      std::span<const SeriesGene> series = SeriesGenes());

// The loader's step: replaces the world's history with the one saved in
// `folder`, or an empty one when the folder has none. A file that cannot be
// read is reported in a message box and left out.
void LoadHistoryFiles(World& world, FileSystem& files, const std::string& folder);

}  // namespace ombrivale
