#include "pipeline/pipeline.h"

#include <gtest/gtest.h>

#include <fstream>

#include "nozzle/spelling.h"
#include "support/temp_folder.h"

namespace {

using pipeline::Fault;

// Every fault of a request is found before anything is computed, in the order the
// options are read, a case folder's refusal as the program's own.
TEST(Pipeline, ChecksTheWholeRequestAtOnce) {
  testing_support::TempFolder folder;
  std::ofstream(folder.path() / "taken") << "x";
  pipeline::Request request;
  request.family = "bell";
  request.texts.n = "7.5";
  request.scale = "10 furlongs";
  request.physical.p0 = "1bar";
  request.caseFolder = folder.path().string();
  const auto checked = pipeline::Check(request, nozzle::LongOptionSpelling());
  const auto* faults = std::get_if<std::vector<Fault>>(&checked);
  ASSERT_NE(faults, nullptr);
  const std::vector<std::string> starts{"--family = \"bell\": unknown",  "Number of waves N = \"7.5\"",
                                        "Throat half-height --scale = ", "--t0 = \"\": the stagnation",
                                        "--scale: the boundary layer", "the case folder \""};
  ASSERT_EQ(faults->size(), starts.size());
  for (std::size_t i = 0; i < starts.size(); ++i) {
    EXPECT_EQ((*faults)[i].text.rfind(starts[i], 0), 0u) << (*faults)[i].text;
  }
  EXPECT_EQ(faults->back().kind, Fault::Kind::kCase);
  EXPECT_EQ(faults->front().kind, Fault::Kind::kInput);
  // The check's options are the library's to check, whichever front end gave them.
  request = {};
  request.caseFolder = (folder.path() / "case").string();
  request.cfdCells = 8;
  request.cfdCore = 0.01;
  const auto options = std::get<std::vector<Fault>>(pipeline::Check(request, nozzle::LongOptionSpelling()));
  ASSERT_EQ(options.size(), 2u);
  EXPECT_EQ(options[0].text, "--cfd-cells = 8: out of range; accepted: a whole number from 32 on");
  EXPECT_EQ(options[1].text, "--cfd-core = 0.01: out of range; accepted: 0.05 to 1");
}

// A design for a front end that writes on demand makes no text and stages no file; one
// for the command line makes the list and the files asked for, in their order.
TEST(Pipeline, MakesOnlyTheOutputsAskedFor) {
  testing_support::TempFolder folder;
  pipeline::Request request;
  request.resultFolder = folder.path();
  request.svg = (folder.path() / "n.svg").string();
  request.csv = (folder.path() / "n.csv").string();
  const auto checked = std::get<pipeline::Checked>(pipeline::Check(request, nozzle::LongOptionSpelling()));
  auto bare = pipeline::Design(checked, {}, false);
  const auto& design = std::get<pipeline::Designed>(bare);
  EXPECT_EQ(design.record.family, "minimum-length");
  EXPECT_FALSE(design.resultFile);
  EXPECT_TRUE(design.files.empty());
  EXPECT_TRUE(design.shown.empty());
  EXPECT_TRUE(folder.Entries().empty());

  auto full = pipeline::Design(checked, {});
  auto& made = std::get<pipeline::Designed>(full);
  EXPECT_EQ(made.shown.rfind("TetaMax  = 18.373", 0), 0u) << made.shown;
  ASSERT_EQ(made.files.size(), 2u);
  EXPECT_EQ(made.files[0].first, request.svg);
  EXPECT_EQ(made.files[1].first, request.csv);
  pipeline::Commit(made);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"n.csv", "n.svg", "sonuc.txt"}));
}

}  // namespace
