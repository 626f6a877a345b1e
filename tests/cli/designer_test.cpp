#include "cli/designer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline/pipeline.h"
#include "support/golden.h"
#include "support/svg_shape.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempFolder;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunCli(std::vector<std::string> args) {
  args.insert(args.begin(), "nozzle-cli");
  std::vector<const char*> argv;
  for (const auto& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int status = cli::RunDesigner(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

// Runs `command` through the shell, with `prelude` before it (ulimit, trap, setpriv).
Outcome RunProcessWith(const std::string& prelude, const std::string& command) {
  TempFolder capture;
  const fs::path errFile = capture.path() / "err";
  const std::string line = prelude + " " + command + " 2>" + errFile.string();
  FILE* pipe = ::popen(("sh -c '" + line + "'").c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ReadBytes(errFile)};
}

// Runs nozzle-cli itself.
Outcome RunProcess(const std::string& prelude, const std::string& args) {
  return RunProcessWith(prelude, std::string(NOZZLE_CLI_PATH) + " " + args);
}

TEST(CommandLine, DefaultsWriteTheResultFileAndPrintTheListLines) {
  TempFolder folder;
  const Outcome o = RunCli({"--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  testing_support::ExpectMatchesGolden(o.out, "default_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "default_sonuc.txt");
}

TEST(CommandLine, ReadsTheThreeTextsAsTheWindowDoes) {
  TempFolder folder;
  const Outcome o = RunCli({"--me", " 2.4", "--teta0", ".373", "--n", "2", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  testing_support::ExpectMatchesGolden(o.out, "n2_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "n2_sonuc.txt");
}

// N = 49 fills the net record to its edge (column 50 is the wall).
TEST(CommandLine, FullNetOfFortyNineWavesMatchesItsGoldenOutputs) {
  TempFolder folder;
  const Outcome o = RunCli({"--n", "49", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  testing_support::ExpectMatchesGolden(o.out, "n49_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "n49_sonuc.txt");
}

TEST(CommandLine, NamesAnotherGasInEveryOutputThatHasRoomForIt) {
  TempFolder folder;
  const fs::path svg = folder.path() / "nozzle.svg";
  const fs::path dxf = folder.path() / "nozzle.dxf";
  const Outcome o = RunCli({"--gamma", "5/3", "--n", "13", "--dir", folder.path().string(), "--svg", svg.string(),
                            "--dxf", dxf.string()});
  EXPECT_EQ(o.status, 0) << o.err;
  testing_support::ExpectMatchesGolden(o.out, "gamma53_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "gamma53_sonuc.txt");
  const std::string note = "Nozzle Designer: ratio of specific heats gamma = 1.6666666666666667";
  EXPECT_EQ(ReadBytes(svg).find("<!-- " + note + " -->\n<svg "), 39u);  // after the XML declaration
  EXPECT_TRUE(testing_support::ReadSvgShape(svg).parsed);
  EXPECT_EQ(ReadBytes(dxf).rfind("999\n" + note + "\n0\nSECTION\n", 0), 0u);
  const Outcome summary = RunCli({"--gamma", "1.2", "--summary", "--dir", folder.path().string()});
  EXPECT_EQ(summary.out.rfind("Ratio of specific heats G = 1.2\nTetaMax = 22.597\n", 0), 0u) << summary.out;
  EXPECT_NE(summary.out.find("Isentropic area ratio A/A* = 3.011\n"), std::string::npos) << summary.out;
}

// A round design says so in every output; its CSV is a radius profile, its DXF a
// half profile to revolve.
TEST(CommandLine, LabelsARoundDesignInEveryOutput) {
  TempFolder folder;
  const fs::path svg = folder.path() / "round.svg";
  const fs::path csv = folder.path() / "round.csv";
  const fs::path dxf = folder.path() / "round.dxf";
  const Outcome o = RunCli({"--axisymmetric", "--n", "7", "--dir", folder.path().string(), "--svg", svg.string(),
                            "--csv", csv.string(), "--dxf", dxf.string()});
  EXPECT_EQ(o.status, 0) << o.err;
  testing_support::ExpectMatchesGolden(o.out, "round7_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "round7_sonuc.txt");
  EXPECT_EQ(ReadBytes(svg).find("<!-- Nozzle Designer: axisymmetric nozzle -->\n<svg "), 39u);
  EXPECT_EQ(ReadBytes(csv).rfind("x,r\n0,1\n", 0), 0u);
  EXPECT_EQ(ReadBytes(dxf).rfind("999\nNozzle Designer: axisymmetric nozzle\n999\nRevolve the WALL profile", 0), 0u);
  const Outcome summary =
      RunCli({"--axisymmetric", "--gamma", "1.2", "--n", "49", "--summary", "--dir", folder.path().string()});
  EXPECT_EQ(summary.out.rfind("Axisymmetric nozzle\nRatio of specific heats G = 1.2\nTetaMax = 10.423\n", 0), 0u)
      << summary.out;
  EXPECT_NE(summary.out.find("\nMass balance = 0.04 %\n"), std::string::npos) << summary.out;
  EXPECT_EQ(ReadBytes(folder.path() / "sonuc.txt").rfind(" Eksenel simetrik lüle\r\n", 0), 0u);
  const Outcome refused = RunCli({"--axisymmetric", "--me", "1.08", "--dir", folder.path().string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Teta0"), std::string::npos) << refused.err;
}

TEST(CommandLine, WritesTheDrawingAndTheContourWhenAsked) {
  TempFolder folder;
  const fs::path svg = folder.path() / "nozzle.svg";
  const fs::path csv = folder.path() / "wall.csv";
  const Outcome o = RunCli({"--dir", folder.path().string(), "--svg", svg.string(), "--csv", csv.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  const testing_support::SvgShape shape = testing_support::ReadSvgShape(svg);
  ASSERT_TRUE(shape.parsed);
  EXPECT_EQ(shape.width + "x" + shape.height, "449x265");  // the window's drawing surface
  EXPECT_EQ(shape.lines, 2 * 7 * 9);
  EXPECT_EQ(ReadBytes(csv).rfind("x,y\n0,1\n", 0), 0u);
}

TEST(CommandLine, ScalesTheCadExportsButNotTheResultsListOrFile) {
  TempFolder folder;
  const fs::path dxf = folder.path() / "nozzle.dxf";
  const fs::path csv = folder.path() / "wall.csv";
  const Outcome o = RunCli({"--dir", folder.path().string(), "--dxf", dxf.string(), "--csv", csv.string(), "--scale",
                            "10mm"});
  ASSERT_EQ(o.status, 0) << o.err;
  testing_support::ExpectMatchesGolden(o.out, "default_list.txt");
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "default_sonuc.txt");
  EXPECT_EQ(ReadBytes(csv).rfind("x,y\n0,10\n", 0), 0u);
  EXPECT_NE(ReadBytes(dxf).find("$INSUNITS\n70\n4\n"), std::string::npos);
}

TEST(CommandLine, PrintsTheAccuracySummaryInPlaceOfTheListAndStillWritesTheFile) {
  TempFolder folder;
  const Outcome o = RunCli({"--summary", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.rfind("TetaMax = 18.373\nNozzle length x = 8.074\nExit half-height y = 2.399\n"
                        "Isentropic area ratio A/A* = 2.403\nDeviation of y from A/A* = -0.",
                        0),
            0u)
      << o.out;
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "default_sonuc.txt");
}

TEST(CommandLine, RejectsBadInputsWithStatusTwoAndWritesNothing) {
  TempFolder folder;
  const Outcome o = RunCli({"--me", "2,4", "--n", "50", "--dir", folder.path().string(), "--svg",
                         (folder.path() / "x.svg").string(), "--scale", "10furlongs"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.out, "");
  EXPECT_NE(o.err.find("Me = \"2,4\": not a number (use a point as the decimal separator)"), std::string::npos);
  EXPECT_NE(o.err.find("N = \"50\": out of range"), std::string::npos);
  EXPECT_NE(o.err.find("--scale = \"10furlongs\": not a length; accepted: a number greater than 0 with an optional "
                       "unit mm, cm, m or in (10mm, 25.4mm, 0.5in, 1)."),
            std::string::npos)
      << o.err;
  EXPECT_TRUE(folder.Entries().empty());
  EXPECT_EQ(RunCli({"--dir", folder.path().string(), "--scale", "-1mm"}).status, 2);
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(CommandLine, DesignsARoundedThroatAndRefusesARadiusTheSeriesDoesNotHold) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  for (const char* radius : {"0.625", "1.2", "101", "2 cm"}) {
    const Outcome o = RunCli({"--throat-radius", radius, "--dir", dir});
    EXPECT_EQ(o.status, 2) << radius;
    EXPECT_NE(o.err.find(std::string("--throat-radius = \"") + radius +
                         "\": out of range; accepted: 0 (a sharp throat corner) or 1.5 to 100 throat half-heights"),
              std::string::npos)
        << o.err;
  }
  EXPECT_NE(RunCli({"--throat-radius", "0.625", "--axisymmetric", "--dir", dir}).err.find("or 1 to 100 throat radii"),
            std::string::npos);
  EXPECT_NE(RunCli({"--throat-radius", "2", "--teta0", "0.2", "--dir", dir})
                .err.find("--teta0 is the first wave of a sharp throat corner: a rounded throat (--throat-radius) has "
                          "none"),
            std::string::npos);
  EXPECT_EQ(RunCli({"--throat-radius", "2", "--me", "1.05", "--dir", dir}).err.find("Teta0"), std::string::npos);
  EXPECT_TRUE(folder.Entries().empty());

  const fs::path csv = folder.path() / "wall.csv";
  const Outcome o = RunCli({"--throat-radius", "2", "--axisymmetric", "--n", "10", "--summary", "--dir", dir,
                            "--csv", csv.string()});
  ASSERT_EQ(o.status, 0) << o.err;
  // Cd of the recast series for gamma 1.4, R = 2 (Kliegel and Levine 1969, AIAA J. 7,
  // 1375: 1 - (g+1)/96 s^2 + ... with s = 1/(R+1), 0.99622 to the published terms).
  EXPECT_NE(o.out.find("Discharge coefficient Cd = 0.996196\n"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("Throat radius of curvature R = 2\n"), std::string::npos);
  EXPECT_NE(o.out.find("Sonic point on the wall x = -0.1551, y = 1.006\n"), std::string::npos) << o.out;
  // The wall passes the throat section after its convergent section (contraction 3).
  EXPECT_EQ(ReadBytes(csv).substr(0, 23), "x,r\n-1.803847577293368,");
  EXPECT_NE(ReadBytes(csv).find("\n0,1\n"), std::string::npos);
  EXPECT_NE(ReadBytes(folder.path() / "sonuc.txt").find(" Boğaz eğrilik yarıçapı = "), std::string::npos);
}

TEST(CommandLine, FailsWithStatusOneAndWritesNothingWhenTheResultFileCannotBeWritten) {
  TempFolder folder;
  fs::create_directory(folder.path() / "sonuc.txt");
  const fs::path svg = folder.path() / "nozzle.svg";
  const Outcome o = RunCli({"--dir", folder.path().string(), "--svg", svg.string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "nozzle-cli: cannot write \"" + (folder.path() / "sonuc.txt").string() + "\": Is a directory\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(CommandLine, LeavesTheResultFileWhenAnotherOutputCannotBeWritten) {
  TempFolder folder;
  std::ofstream(folder.path() / "sonuc.txt") << "previous";
  const Outcome o = RunCli({"--dir", folder.path().string(), "--csv", (folder.path() / "no" / "wall.csv").string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(ReadBytes(folder.path() / "sonuc.txt"), "previous");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(CommandLine, LeavesTheResultFileWhenTheDrawingWouldReplaceAFolder) {
  TempFolder folder;
  std::ofstream(folder.path() / "sonuc.txt") << "previous";
  fs::create_directory(folder.path() / "nozzle.svg");
  const Outcome o = RunCli({"--dir", folder.path().string(), "--svg", (folder.path() / "nozzle.svg").string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("nozzle.svg\": Is a directory"), std::string::npos) << o.err;
  EXPECT_EQ(ReadBytes(folder.path() / "sonuc.txt"), "previous");
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"nozzle.svg", "sonuc.txt"}));
}

TEST(CommandLine, WarnsOnStandardErrorWhenTheWallTurnsBack) {
  TempFolder folder;
  const Outcome o = RunCli({"--me", "10", "--n", "2", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err.rfind("warning: The wall turns back on itself at wall point 2", 0), 0u) << o.err;
  EXPECT_FALSE(o.out.empty());
}

// The solid for CAD: its lengths refused with the others, a solid the kernel refuses
// naming the step with nothing written, and the spline's fit in the summary.
TEST(CommandLine, WritesTheStepSolidWithTheSplinesFitInTheSummaryOrNothing) {
  if (!pipeline::StepAvailable()) GTEST_SKIP() << "built without OpenCASCADE";
  TempFolder folder;
  const std::string step = (folder.path() / "nozzle.step").string();
  Outcome o = RunCli({"--axisymmetric", "--step", step, "--wall-thickness", "0mm", "--span", "3", "--dxf-curve",
                      "bezier", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err,
            "--dxf-curve = \"bezier\": unknown; accepted: polyline, spline.\n"
            "Wall thickness --wall-thickness = \"0mm\": not a length; accepted: a number greater than 0 with an "
            "optional unit mm, cm, m or in (2mm, 0.1in; without a unit, in the solid's unit: the scale's, mm when it "
            "has none).\n"
            "--span: a round nozzle is revolved whole; the span is a planar nozzle's width\n");
  o = RunCli({"--me", "10", "--n", "2", "--step", step, "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err.rfind("nozzle-cli: STEP solid: the kernel's checker finds the wall's profile invalid", 0), 0u)
      << o.err;
  EXPECT_TRUE(folder.Entries().empty());
  o = RunCli({"--summary", "--step", step, "--scale", "10mm", "--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("\nWall B-spline: 8 points, 1 piece, cubic\nB-spline to the wall points: "), std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find(", to the polyline: 1.0e-02 (throat half-heights)\n"), std::string::npos) << o.out;
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"nozzle.step", "sonuc.txt"}));
  EXPECT_EQ(ReadBytes(step).rfind("ISO-10303-21;\n", 0), 0u);
}

TEST(CommandLine, AnswersHelpAndVersion) {
  const Outcome help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--teta0"), std::string::npos);
  const Outcome version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find("nozzle-cli " NOZZLE_VERSION), std::string::npos) << version.out;
  EXPECT_NE(RunCli({"--frobnicate"}).status, 0);
}

TEST(CommandLineProcess, ExitsWithTheStatusesOfItsOutcomes) {
  TempFolder folder;
  const std::string dir = " --dir " + folder.path().string();
  EXPECT_EQ(RunProcess("", dir).status, 0);
  const Outcome rejected = RunProcess("", "--n 1" + dir);
  EXPECT_EQ(rejected.status, 2);
  EXPECT_NE(rejected.err.find("Number of waves N = \"1\""), std::string::npos) << rejected.err;
}

TEST(CommandLineProcess, KeepsThePreviousResultFileWhenTheDiskFillsHalfway) {
  TempFolder folder;
  const fs::path file = folder.path() / "sonuc.txt";
  std::ofstream(file, std::ios::binary) << "previous run\r\n";
  // 1 block of 512 bytes: the 49 lines of the new file do not fit.
  const Outcome o = RunProcess("trap \"\" XFSZ; ulimit -f 1;", "--dir " + folder.path().string());
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "nozzle-cli: cannot write \"" + file.string() + "\": File too large\n");
  EXPECT_EQ(ReadBytes(file), "previous run\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(CommandLine, ReplacesASymbolicLinkAndLeavesItsTarget) {
  TempFolder folder;
  const fs::path target = folder.path() / "precious.txt";
  std::ofstream(target, std::ios::binary) << "precious";
  fs::create_symlink(target, folder.path() / "sonuc.txt");
  const Outcome o = RunCli({"--dir", folder.path().string()});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_FALSE(fs::is_symlink(folder.path() / "sonuc.txt"));
  testing_support::ExpectMatchesGolden(ReadBytes(folder.path() / "sonuc.txt"), "default_sonuc.txt");
  EXPECT_EQ(ReadBytes(target), "precious");
}

// Runs nozzle-cli as a user for whom permission bits count: "nobody" when we are root.
class CommandLineUnprivileged : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing_support::RunningAsRoot()) {
      program_ = NOZZLE_CLI_PATH;
      return;
    }
    std::string reason;
    user_ = testing_support::FindUnprivilegedUser(reason);
    if (!user_) GTEST_SKIP() << "cannot test permissions as root: " << reason;
    program_ = testing_support::CopyForEveryone(NOZZLE_CLI_PATH, programFolder_.path());
    prefix_ = user_->Prefix() + " ";
  }

  // A folder for the outputs, owned by the user the program runs as.
  void Own(const fs::path& path) {
    if (user_ && ::chown(path.c_str(), user_->uid, user_->gid) != 0) FAIL() << "chown " << path;
  }

  Outcome Run(const fs::path& dir) { return RunProcessWith(prefix_, program_.string() + " --dir " + dir.string()); }

  TempFolder programFolder_;
  fs::path program_;
  std::string prefix_;
  std::optional<testing_support::UnprivilegedUser> user_;
};

TEST_F(CommandLineUnprivileged, KeepsTheResultFileWhenTheFolderIsNotWritable) {
  TempFolder folder;
  fs::permissions(folder.path(), fs::perms(0755));
  const fs::path file = folder.path() / "sonuc.txt";
  std::ofstream(file, std::ios::binary) << "previous run\r\n";
  Own(file);  // the file may be written, the folder (root's, or 0555) may not
  if (!user_) fs::permissions(folder.path(), fs::perms(0555));
  const Outcome o = Run(folder.path());
  fs::permissions(folder.path(), fs::perms(0755));
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "nozzle-cli: cannot write \"" + file.string() + "\": Permission denied\n");
  EXPECT_EQ(ReadBytes(file), "previous run\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST_F(CommandLineUnprivileged, DoesNotReplaceAReadOnlyResultFile) {
  TempFolder folder;
  fs::permissions(folder.path(), fs::perms(0755));
  Own(folder.path());
  const fs::path file = folder.path() / "sonuc.txt";
  std::ofstream(file, std::ios::binary) << "protected\r\n";
  Own(file);
  fs::permissions(file, fs::perms(0444));
  const Outcome o = Run(folder.path());
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "nozzle-cli: cannot write \"" + file.string() + "\": the file is read-only\n");
  EXPECT_EQ(ReadBytes(file), "protected\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});
}

TEST(CommandLine, RefusesAnOpenFoamFolderInUseAndAVerifyWithoutOne) {
  TempFolder folder;
  const fs::path used = folder.path() / "case";
  fs::create_directory(used);
  std::ofstream(used / "mine.txt") << "keep";
  const Outcome o = RunCli({"--dir", folder.path().string(), "--openfoam", used.string()});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "nozzle-cli: the case folder \"" + used.string() + "\" exists and is not empty\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"case"});  // no sonuc.txt either
  EXPECT_EQ(ReadBytes(used / "mine.txt"), "keep");
  EXPECT_EQ(RunCli({"--dir", folder.path().string(), "--verify"}).status, 2);
}

// A design run that fails names the step, exits 1 and writes nothing.
TEST(CommandLine, NamesTheStepOfARunThatFailsAndWritesNothing) {
  TempFolder folder;
  const Outcome o = RunCli({"--axisymmetric", "--me", "1.11", "--dir", folder.path().string(), "--csv",
                            (folder.path() / "w.csv").string()});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "nozzle-cli: no corner angle above Teta0 brings the axis to Me (a smaller Teta0 may) in TetaMax\n");
  EXPECT_EQ(o.out, "");
  EXPECT_TRUE(folder.Entries().empty());
}

TEST(CommandLine, WritesTheOutputsButNoCaseForAWallThatTurnsBackOrWithoutOpenFoam) {
  TempFolder folder;
  const Outcome turning =
      RunCli({"--me", "10", "--n", "2", "--dir", folder.path().string(), "--openfoam", (folder.path() / "c").string()});
  EXPECT_EQ(turning.status, 1);
  EXPECT_NE(turning.err.find("nozzle-cli: no valid mesh exists: The wall turns back on itself at wall point"),
            std::string::npos)
      << turning.err;
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sonuc.txt"});

  const std::string path = std::getenv("PATH");
  ::setenv("PATH", folder.path().c_str(), 1);
  const Outcome missing = RunCli({"--n", "7", "--dir", folder.path().string(), "--openfoam",
                                  (folder.path() / "c").string(), "--verify", "--cfd-jobs", "1"});
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "nozzle-cli: OpenFOAM is not installed (blockMesh not found): install the Debian package "
                         "openfoam (apt-get install openfoam)\n");
  EXPECT_NE(missing.out.find("TetaMax  = 18.373"), std::string::npos);

  // Writing the case alone needs no OpenFOAM.
  ::setenv("PATH", folder.path().c_str(), 1);
  const Outcome written = RunCli({"--n", "7", "--dir", folder.path().string(), "--openfoam",
                                  (folder.path() / "c").string()});
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(fs::exists(folder.path() / "c" / "Allrun"));
  EXPECT_TRUE(fs::exists(folder.path() / "c" / "coarse" / "0" / "U"));
  EXPECT_TRUE(fs::exists(folder.path() / "c" / "fine" / "case.foam"));
}

// The case runs on the cores asked for, in metres, with the gas asked for.
TEST(CommandLine, WritesTheCaseForTheCoresTheUnitAndTheGasAsked) {
  TempFolder folder;
  const auto write = [&](const std::string& name, std::vector<std::string> args) {
    for (const char* arg : {"--cfd-cells", "32", "--dir"}) args.push_back(arg);
    args.push_back(folder.path().string());
    args.push_back("--openfoam");
    args.push_back((folder.path() / name).string());
    const Outcome o = RunCli(args);
    EXPECT_EQ(o.status, 0) << o.err;
    return folder.path() / name;
  };
  const fs::path one = write("one", {"--cfd-jobs", "1", "--scale", "0.5in"});
  for (const char* mesh : {"coarse", "medium", "fine"}) {
    EXPECT_NE(ReadBytes(one / mesh / "system" / "decomposeParDict").find("numberOfSubdomains 1;"), std::string::npos);
  }
  EXPECT_NE(ReadBytes(one / "Allrun").find("jobs=\"${1:-1}\""), std::string::npos);
  EXPECT_NE(ReadBytes(one / "fine" / "system" / "blockMeshDict").find("scale   0.0127;"), std::string::npos);
  const fs::path three = write("three", {"--cfd-jobs", "3", "--scale", "2cm", "--gamma", "1.2"});
  EXPECT_NE(ReadBytes(three / "coarse" / "system" / "decomposeParDict").find("numberOfSubdomains 3;"),
            std::string::npos);
  EXPECT_NE(ReadBytes(three / "medium" / "system" / "blockMeshDict").find("scale   0.02;"), std::string::npos);
  // R = 8314.47 / molWeight = 1 / 1.2 and Cp = 1 / (1.2 - 1): the speed of sound is 1 at T = 1.
  const std::string thermo = ReadBytes(three / "fine" / "constant" / "thermophysicalProperties");
  EXPECT_NE(thermo.find("molWeight       9977.4;"), std::string::npos) << thermo;
  EXPECT_NE(thermo.find("Cp              5;"), std::string::npos) << thermo;
  const fs::path air = write("air", {"--scale", "10mm"});
  EXPECT_NE(ReadBytes(air / "coarse" / "system" / "blockMeshDict").find("scale   0.01;"), std::string::npos);
  EXPECT_NE(ReadBytes(air / "coarse" / "constant" / "thermophysicalProperties").find("molWeight       11640.3;"),
            std::string::npos);
  // Meshes larger than the machine are refused before anything is written.
  const Outcome huge = RunCli({"--dir", folder.path().string(), "--openfoam", (folder.path() / "huge").string(),
                               "--cfd-cells", "100000"});
  EXPECT_EQ(huge.status, 2);
  EXPECT_NE(huge.err.find("need about 7500 GB of memory"), std::string::npos) << huge.err;
  EXPECT_FALSE(fs::exists(folder.path() / "huge"));
}

}  // namespace

namespace {

const std::vector<std::string> kLaminarTunnel{"--n", "49", "--p0", "0.13bar", "--t0", "300", "--scale", "10mm"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(CommandLine, CorrectsTheWallForItsBoundaryLayerInEveryOutputButTheListAndTheResultFile) {
  TempFolder folder;
  const fs::path d = folder.path();
  const Outcome o = RunCli(With(kLaminarTunnel, {"--summary", "--dir", d.string(), "--csv", (d / "wall.csv").string(),
                                                 "--svg", (d / "n.svg").string(), "--boundary-layer-csv",
                                                 (d / "layer.csv").string(), "--openfoam", (d / "case").string(),
                                                 "--cfd-cells", "32"}));
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  testing_support::ExpectMatchesGolden(ReadBytes(d / "sonuc.txt"), "n49_sonuc.txt");
  EXPECT_NE(o.out.find("Throat Reynolds number Re* = 18963\nBoundary layer: laminar\nDisplacement thickness at the "
                       "exit = 0.801 mm (3.337 % of the exit half-height)\nCorrected exit half-height y = 2.48\nExit "
                       "Mach number of the uncorrected wall = 2.362\n"),
            std::string::npos)
      << o.out;
  // One line a wall point; the contour is the corrected wall, in mm.
  const std::string layer = ReadBytes(d / "layer.csv");
  EXPECT_EQ(layer.rfind("x_m,y_inviscid_m,y_corrected_m,Me,delta_star_m,theta_m,H,Cf,Re_theta,state\n0,0.01,0.01,", 0), 0u);
  EXPECT_EQ(std::count(layer.begin(), layer.end(), '\n'), 51);
  const std::string lastLayer = layer.substr(layer.rfind('\n', layer.size() - 2) + 1);
  const std::string wall = ReadBytes(d / "wall.csv");
  const std::string lip = wall.substr(wall.rfind('\n', wall.size() - 2) + 1);
  const double yCorrected = std::stod(lastLayer.substr(lastLayer.find(',', lastLayer.find(',') + 1) + 1));
  EXPECT_DOUBLE_EQ(std::stod(lip.substr(lip.find(',') + 1)), yCorrected * 1e3);
  EXPECT_NE(ReadBytes(d / "n.svg").find(">corrected wall</text>"), std::string::npos);
  // The viscous case, and the uncorrected wall beside it.
  EXPECT_NE(ReadBytes(d / "case" / "fine" / "constant" / "thermophysicalProperties").find("transport       sutherland;"),
            std::string::npos);
  EXPECT_NE(ReadBytes(d / "case" / "coarse" / "0" / "U").find("noSlip"), std::string::npos);
  EXPECT_TRUE(fs::exists(d / "case" / "uncorrected" / "fine" / "system" / "blockMeshDict"));
  EXPECT_NE(ReadBytes(d / "case" / "uncorrected" / "fine" / "system" / "blockMeshDict"),
            ReadBytes(d / "case" / "fine" / "system" / "blockMeshDict"));
}

TEST(CommandLine, RefusesPhysicalInputsThatMakeNoLayerWithStatusTwoAndWritesNothing) {
  TempFolder folder;
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--p0", "0.13bar", "--t0", "300"}, "the boundary layer needs the physical throat half-height"},
      {{"--p0", "0bar", "--t0", "300", "--scale", "10mm"}, "--p0 = \"0bar\": accepted"},
      {{"--p0", "1bar", "--t0", "-5", "--scale", "10mm"}, "--t0 = \"-5\": accepted"},
      {{"--p0", "1bar", "--scale", "10mm"}, "the stagnation temperature is needed"},
      {{"--gas", "xenon", "--p0", "1bar", "--t0", "300", "--scale", "10mm"}, "--gas = \"xenon\": unknown gas"},
      {{"--gas", "co2", "--gamma", "1.4"}, "--gamma = 1.4 contradicts --gas co2 (gamma = 1.289)"},
      {{"--family", "bell"}, "--family = \"bell\": unknown nozzle family; accepted: minimum-length, conical, ideal, given-wall.\n"},
      {{"--gamma", "1.3", "--p0", "1bar", "--t0", "300", "--scale", "10mm"}, "the boundary layer needs the gas"},
      {{"--boundary-layer-csv", "x.csv", "--scale", "10mm"}, "the stagnation pressure is needed"},
      {{"--axisymmetric", "--me", "3", "--n", "49", "--p0", "150Pa", "--t0", "300", "--scale", "10mm"},
       "the boundary layer would fill the nozzle"},
      {{"--p0", "50Pa", "--t0", "300", "--scale", "1mm"}, "Re* = 7.29: a boundary layer of the integral method needs"},
      {{"--p0", "1bar", "--t0", "1e-300", "--scale", "1mm"}, "--t0 = \"1e-300\": accepted: a temperature from 1 to"},
      {{"--gas-constant", "287", "--viscosity", "1,273,111", "--prandtl", "0.7", "--p0", "1bar", "--t0", "300",
        "--scale", "1mm"},
       "--viscosity = \"1,273,111\": accepted: Sutherland's constants"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome o = RunCli(With(args, {"--dir", folder.path().string(), "--csv", (folder.path() / "w.csv").string()}));
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_TRUE(folder.Entries().empty()) << args[0];
  }
  // A named gas brings its gamma; helium's is 5/3, typed or not.
  const Outcome helium = RunCli({"--gas", "helium", "--summary", "--dir", folder.path().string()});
  EXPECT_EQ(helium.status, 0) << helium.err;
  EXPECT_EQ(helium.out.rfind("Ratio of specific heats G = 1.6666666666666667\n", 0), 0u) << helium.out;
  EXPECT_EQ(RunCli({"--gas", "helium", "--gamma", "5/3", "--dir", folder.path().string()}).status, 0);
}

TEST(CommandLine, AConicalNozzleIsAnalysedAndTakesNoOtherFamilysOptions) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  const Outcome wedge = RunCli({"--family", "conical", "--area-ratio", "10", "--throat-radius", "3", "--n", "20",
                                "--summary", "--dir", dir});
  ASSERT_EQ(wedge.status, 0) << wedge.err;
  EXPECT_NE(wedge.out.find("Exit half-height y = 10\nIsentropic area ratio A/A* = 10\n"), std::string::npos) << wedge.out;
  EXPECT_NE(wedge.out.find("Mean exit Mach number = 3.913 (weighted by the mass flow)\n"), std::string::npos);
  EXPECT_NE(wedge.out.find("Exit flow angle at the lip = 15\n"), std::string::npos);
  // Its thrust: the wedge's divergence efficiency 0.98754 against sin 15 / 15 = 0.98862.
  EXPECT_NE(wedge.out.find("Thrust coefficient Cf = 1.6264 in vacuum (one-dimensional 1.6469)\n"), std::string::npos)
      << wedge.out;
  EXPECT_NE(ReadBytes(folder.path() / "sonuc.txt").find("Çıkış düzlemi\r\n"), std::string::npos);
  // A uniform exit tells its thrust only when asked, at an ambient pressure too; a lip
  // below 0.4 of it warns (the default design's p/p0 = 0.0684).
  const Outcome ambient = RunCli({"--summary", "--ambient-pressure", "0.2", "--dir", dir});
  EXPECT_NE(ambient.out.find("Thrust coefficient at pa/p0 = 0.2: Cf = 1.0073 (one-dimensional 1.0098)\n"),
            std::string::npos)
      << ambient.out;
  EXPECT_NE(ambient.err.find("below 0.4 of the ambient (Summerfield's criterion)"), std::string::npos) << ambient.err;
  EXPECT_EQ(RunCli({"--summary", "--dir", dir}).out.find("Thrust"), std::string::npos);

  const Outcome cone = RunCli({"--family", "conical", "--area-ratio", "10", "--throat-radius", "1", "--axisymmetric",
                               "--n", "20", "--summary", "--dir", dir});
  ASSERT_EQ(cone.status, 0) << cone.err;
  EXPECT_NE(cone.err.find("warning: characteristics of one family cross at x = "), std::string::npos) << cone.err;
  EXPECT_NE(cone.out.find("Shock: characteristics of one family cross"), std::string::npos);
  EXPECT_EQ(cone.out.find("Mass balance"), std::string::npos);

  fs::remove(folder.path() / "sonuc.txt");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--family", "conical", "--area-ratio", "10", "--me", "3"}, "--me is the exit Mach number a minimum-length"},
      {{"--family", "conical"}, "a conical nozzle needs its exit's area over the throat's: --area-ratio 10"},
      {{"--family", "conical", "--area-ratio", "1"}, "--area-ratio = \"1\": out of range; accepted: above 1"},
      {{"--family", "conical", "--area-ratio", "4", "--half-angle", "50"}, "--half-angle = \"50\": out of range"},
      {{"--family", "conical", "--area-ratio", "4", "--throat-radius", "0"}, "--throat-radius = \"0\": out of range; "
                                                                             "accepted: 1.5 to 100"},
      {{"--area-ratio", "4"}, "--area-ratio shapes a conical nozzle: give --family conical too"},
      {{"--ambient-pressure", "1bar"}, "a pressure with a unit is compared with the stagnation pressure: give --p0"},
      {{"--ambient-pressure", "nan"}, "--ambient-pressure = \"nan\": out of range"},
      {{"--family", "conical", "--area-ratio", "4", "--half-angle", "30", "--throat-radius", "100", "--axisymmetric"},
       "--area-ratio = \"4\": the exit lies on the throat's arc, which reaches the half-angle only at a radius 14.397"},
      {{"--family", "conical", "--area-ratio", "10", "--throat-radius", "1", "--axisymmetric", "--p0", "5bar", "--t0",
        "300", "--scale", "10mm"},
       "the boundary layer needs the flow along the whole wall"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome o = RunCli(With(args, {"--dir", dir, "--csv", (folder.path() / "w.csv").string()}));
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_TRUE(folder.Entries().empty()) << args[0];
  }
}

TEST(CommandLine, AnIdealNozzleTakesItsInflectionAngleOrRefusesOneItsThroatCannotReach) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  const Outcome ideal = RunCli({"--family", "ideal", "--me", "2.4", "--throat-radius", "2", "--inflection-angle", "16",
                                "--n", "30", "--summary", "--dir", dir});
  ASSERT_EQ(ideal.status, 0) << ideal.err;
  EXPECT_NE(ideal.out.find("TetaMax = 16\n"), std::string::npos) << ideal.out;
  EXPECT_NE(ideal.out.find(", wall angle 16\n"), std::string::npos) << ideal.out;
  EXPECT_NE(ideal.out.find("Throat radius of curvature R = 2\n"), std::string::npos);

  fs::remove(folder.path() / "sonuc.txt");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--family", "ideal", "--throat-radius", "2", "--inflection-angle", "8", "--n", "30"},
       "an inflection angle of 8.00 degrees lies outside the range this throat and Me admit: above 9.06"},
      {{"--family", "ideal", "--axisymmetric", "--throat-radius", "1.5", "--n", "30"},
       "this throat and Me admit no ideal nozzle"},
      {{"--family", "ideal", "--inflection-angle", "0"}, "--inflection-angle = \"0\": out of range; accepted: above 0"},
      {{"--inflection-angle", "10"}, "--inflection-angle shapes an ideal nozzle: give --family ideal too"},
      {{"--family", "ideal", "--area-ratio", "4"}, "--area-ratio shapes a conical nozzle"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome o = RunCli(With(args, {"--dir", dir, "--csv", (folder.path() / "w.csv").string()}));
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_TRUE(folder.Entries().empty()) << args[0];
  }
}

TEST(CommandLine, ARoundedThroatsWallBeginsWithItsConvergentSection) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  const std::string csv = (folder.path() / "wall.csv").string();
  // The defaults: the throat's circle back to 30 degrees, then the wedge to a half-height
  // of 3 at x = -R sin 30 - (3 - y_t) / tan 30 = -1 - 1.7321 * sqrt(3) = -4.
  const Outcome planar =
      RunCli({"--throat-radius", "2", "--n", "20", "--summary", "--csv", csv, "--dir", dir});
  ASSERT_EQ(planar.status, 0) << planar.err;
  EXPECT_NE(planar.out.find("Convergent section from x = -4, inlet half-height y = 3, wall at 30 degrees\n"),
            std::string::npos)
      << planar.out;
  const std::string wall = ReadBytes(csv);
  EXPECT_EQ(wall.substr(0, 9), "x,y\n-4,3\n");
  EXPECT_NE(wall.find("\n0,1\n"), std::string::npos);
  const Outcome round = RunCli({"--throat-radius", "2", "--n", "20", "--axisymmetric", "--contraction", "4",
                                "--convergent-angle", "45", "--upstream-radius", "1", "--summary", "--dir", dir});
  EXPECT_NE(round.out.find("inlet radius y = 2, wall at 45 degrees\n"), std::string::npos) << round.out;
  // A contraction the arc reaches before 30 degrees: the arc alone, to 12.84 degrees
  // (cos a = 1 - 0.05 / 2); so a large radius keeps its default section.
  const Outcome arc = RunCli({"--throat-radius", "2", "--n", "20", "--contraction", "1.05", "--summary", "--dir", dir});
  EXPECT_NE(arc.out.find("Convergent section from x = -0.444, inlet half-height y = 1.05, wall at 12.839 degrees\n"),
            std::string::npos)
      << arc.out;
  EXPECT_EQ(RunCli({"--throat-radius", "10", "--axisymmetric", "--dir", dir}).status, 0);

  fs::remove(folder.path() / "sonuc.txt");
  fs::remove(csv);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--contraction", "3"}, "--contraction shapes the convergent section of a rounded throat: give --throat-radius"},
      {{"--throat-radius", "2", "--convergent-angle", "90"}, "--convergent-angle = \"90\": out of range"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome o = RunCli(With(args, {"--dir", dir, "--csv", csv}));
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_TRUE(folder.Entries().empty()) << args[0];
  }
}

TEST(CommandLine, AGivenWallIsReadInTheUnitOfTheScaleAndAnalysedOrRefused) {
  TempFolder folder;
  TempFolder files;
  const std::string dir = folder.path().string();
  const std::string wall = (files.path() / "wall.csv").string();
  ASSERT_EQ(RunCli({"--family", "ideal", "--me", "3", "--throat-radius", "5", "--n", "30", "--axisymmetric", "--scale",
                    "12.5mm", "--csv", wall, "--dir", dir})
                .status,
            0);
  fs::remove(folder.path() / "sonuc.txt");
  const Outcome given = RunCli({"--family", "given-wall", "--wall", wall, "--axisymmetric", "--scale", "12.5mm",
                                "--n", "30", "--summary", "--dir", dir});
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_NE(given.out.find("Throat radius of curvature R = 5\n"), std::string::npos) << given.out;
  EXPECT_NE(given.out.find("Mean exit Mach number = 3 (weighted by the mass flow)\n"), std::string::npos) << given.out;
  EXPECT_NE(ReadBytes(folder.path() / "sonuc.txt").find("Çıkış düzlemi\r\n"), std::string::npos);

  fs::remove(folder.path() / "sonuc.txt");
  std::ofstream(files.path() / "text.csv", std::ios::binary) << "x,r\n0,1\n0.5,1.1\nwall,1.2\n";
  const std::string text = (files.path() / "text.csv").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--family", "given-wall", "--wall", wall}, "its throat (x = 0) has y = 12.5: a wall in throat half-heights "
                                                    "(radii) has y = 1 there; for one in a unit, give --scale"},
      {{"--family", "given-wall", "--wall", text}, "--wall = \"" + text + "\": line 4: \"wall\" is not a number"},
      {{"--family", "given-wall", "--wall", wall + ".missing"}, "cannot be read"},
      {{"--family", "given-wall"}, "a given-wall analysis needs its wall: --wall wall.csv"},
      {{"--wall", wall}, "--wall is the wall whose flow a given-wall analysis finds: give --family given-wall too"},
      {{"--family", "given-wall", "--wall", wall, "--scale", "12.5mm", "--me", "3"}, "--me is the exit Mach number"},
  };
  for (const auto& [args, message] : cases) {
    const Outcome o = RunCli(With(args, {"--dir", dir, "--csv", (folder.path() / "w.csv").string()}));
    EXPECT_EQ(o.status, 2) << args[0];
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
    EXPECT_TRUE(folder.Entries().empty()) << args[0];
  }
}

}  // namespace
