#include "nozzle/design_record.h"

#include <algorithm>
#include <cmath>

#include "gas/isentropic.h"
#include "moc/unit_processes.h"

namespace nozzle {
namespace {

using Family = CharacteristicLine::Family;

FlowPoint NetPoint(const Net& net, int j, int k) {
  return {net.x(j, k), net.y(j, k), net.Teta(j, k), net.Nu(j, k), net.M(j, k), net.Mu(j, k)};
}

// The mass flow of a planar nozzle across the polyline, over the throat's, piece by
// piece (moc::UnitProcesses::MassAcross).
double PlanarMassAcross(const std::vector<FlowPoint>& line, const gas::Gas& gas) {
  const moc::UnitProcesses processes(gas, moc::Flow::kPlanar);
  const auto state = [](const FlowPoint& p) {
    return moc::Point{p.x, p.y, p.Teta * gas::Pi_180, p.Nu * gas::Pi_180, p.M, p.Mu * gas::Pi_180};
  };
  double mass = 0.0;
  for (std::size_t i = 1; i < line.size(); ++i) mass += processes.MassAcross(state(line[i - 1]), state(line[i]));
  return mass;
}

DesignRecord Begin(NozzleKind kind, const DesignInputs& inputs, const gas::Gas& gas, double TetaMax) {
  DesignRecord record;
  record.family = "minimum-length";
  record.kind = kind;
  record.inputs = inputs;
  record.gas = gas;
  record.facts.TetaMax = TetaMax;
  return record;
}

// What both kinds take from the wall alone, and the warning of a wall that turns back.
void CompleteFromWall(DesignRecord& record, int wallTurnsBackAt, const std::string& wallWarning) {
  DesignFacts& facts = record.facts;
  record.inlet = {Inlet::Kind::kUniformSonic, record.wall.front().x, record.wall.front().y};
  const FlowPoint& lip = record.wall.back();
  const FlowPoint& steepest = *std::max_element(record.wall.begin(), record.wall.end(),
                                                [](const FlowPoint& a, const FlowPoint& b) { return a.Teta < b.Teta; });
  facts.largestWallAngle = steepest.Teta;
  facts.largestWallAngleX = steepest.x;
  facts.length = lip.x;
  facts.exitHeight = lip.y;
  facts.areaRatio = record.gas.AreaRatio(record.inputs.Me);
  const double exitArea = record.IsAxisymmetric() ? lip.y * lip.y : lip.y;
  facts.areaDeviationPercent = (exitArea - facts.areaRatio) / facts.areaRatio * 100.0;
  facts.wallTurnsBackAt = wallTurnsBackAt;
  if (!wallWarning.empty()) record.warnings.push_back(wallWarning);
}

}  // namespace

DesignRecord RecordOf(const DesignResult& result) {
  DesignRecord record = Begin(NozzleKind::kPlanar, result.inputs, result.gas, result.TetaMax);
  const Net& net = result.net;
  const double N = result.inputs.N;
  const int W = Index(N + 1.0);
  const int last = Index(N);

  CountedLoop(0.0, N, [&](double j) {
    const int J = Index(j);
    FlowPoint p = NetPoint(net, J, last);
    p.x = net.x(J, W);
    p.y = net.y(J, W);
    record.wall.push_back(p);
  });
  CountedLoop(1.0, N, [&](double k) {
    CharacteristicLine line{Family::kFanWave, "C- line " + IndexName(k), {}};
    CountedLoop(0.0, k, [&](double j) { line.points.push_back(NetPoint(net, Index(j), Index(k))); });
    record.lines.push_back(std::move(line));
  });
  // A number of waves that is not whole (only a direct call of the run makes one) leaves
  // C+ lines that end short of the wall, in entries of the net never written: no mass
  // balance is formed for such a net.
  const bool whole = N == std::floor(N);
  double worst = 0.0;
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    CharacteristicLine line{Family::kCPlus, "C+ line " + IndexName(j), {}};
    CountedLoop(j, N + 1.0, [&](double k) {
      const int K = Index(k);
      const bool onWall = K == W && static_cast<std::size_t>(J) < record.wall.size();
      line.points.push_back(onWall ? record.wall[static_cast<std::size_t>(J)] : NetPoint(net, J, K));
    });
    if (whole) worst = std::max(worst, std::fabs(PlanarMassAcross(line.points, result.gas) - 1.0));
    record.lines.push_back(std::move(line));
  });
  record.facts.axisEnd = net.x(last, last);
  CompleteFromWall(record, result.wallTurnsBackAt, result.wallWarning);
  const double exit = std::fabs(record.facts.exitHeight / record.facts.areaRatio - 1.0);
  record.facts.massBalancePercent = whole ? 100.0 * std::max(worst, exit) : NAN;
  return record;
}

DesignRecord RecordOf(const MarchedDesign& d) {
  DesignRecord record = Begin(NozzleKind::kAxisymmetric, d.inputs, d.gas, d.TetaMax);
  record.wall = d.wall;

  for (int k = 1; k <= d.W; ++k) {
    CharacteristicLine line{Family::kFanWave, "C- line " + IndexName(d.WaveIndex(k)), {}};
    for (int j = 0; j <= k; ++j) line.points.push_back(d.Kernel(j, k));
    record.lines.push_back(std::move(line));
  }
  for (std::size_t c = 0; c < d.cPlusLines.size(); ++c) {
    const MarchedDesign::CPlusLine& from = d.cPlusLines[c];
    CharacteristicLine line{Family::kCPlus, "C+ line " + IndexName(from.index), from.points};
    line.points.insert(line.points.end(), from.beyond.begin(), from.beyond.end());
    line.points.push_back(d.wall[c + 1]);
    record.lines.push_back(std::move(line));
  }
  // A turning line runs from the exit characteristic up to the wall: its point n lies
  // on C+ line lines - 1 - n, inside the nozzle as long as that line's `beyond` holds it.
  const std::size_t lines = d.cPlusLines.size();
  for (std::size_t i = 0; i < d.turning.size(); ++i) {
    const std::vector<FlowPoint>& points = d.turning[i];
    if (points.empty() || points[0].y > d.wall.back().y) continue;
    std::size_t inside = 1;
    while (inside < points.size() && inside < lines && i < d.cPlusLines[lines - 1 - inside].beyond.size()) ++inside;
    if (inside < 2) continue;
    record.lines.push_back({Family::kTurning, "turning line " + std::to_string(i + 1),
                            std::vector<FlowPoint>(points.begin(), points.begin() + static_cast<long>(inside))});
  }
  record.facts.axisEnd = d.Kernel(d.W, d.W).x;
  record.facts.massBalancePercent = d.massBalancePercent;
  CompleteFromWall(record, d.wallTurnsBackAt, d.wallWarning);
  return record;
}

DesignRecord RecordOf(const RoundedThroatDesign& d) {
  DesignRecord record = Begin(d.flow == moc::Flow::kAxisymmetric ? NozzleKind::kAxisymmetric : NozzleKind::kPlanar,
                              d.inputs, d.gas, d.tetaMax);
  record.wall = d.wall;
  for (std::size_t k = 0; k < d.cMinus.size(); ++k) {
    record.lines.push_back({Family::kFanWave, "C- line " + std::to_string(k + 1), d.cMinus[k]});
  }
  for (std::size_t k = 0; k < d.cPlus.size(); ++k) {
    record.lines.push_back({Family::kCPlus, "C+ line " + std::to_string(k + 1), d.cPlus[k]});
  }
  for (std::size_t k = 0; k < d.turning.size(); ++k) {
    record.lines.push_back({Family::kTurning, "turning line " + std::to_string(k + 1), d.turning[k]});
  }
  record.facts.axisEnd = d.axisEnd;
  record.facts.massBalancePercent = d.massBalancePercent;
  record.facts.throat = d.throat;
  CompleteFromWall(record, d.wallTurnsBackAt, d.wallWarning);
  record.inlet.kind = Inlet::Kind::kRoundedThroat;
  return record;
}

DesignRecord RecordOf(const GivenWallFlow& f, const std::string& family, const DesignInputs& inputs) {
  const bool round = f.flow == moc::Flow::kAxisymmetric;
  const FlowPoint& lip = f.wall.back();
  DesignInputs given = inputs;
  given.Me = f.gas.SupersonicMachOfAreaRatio(round ? lip.y * lip.y : lip.y);
  const FlowPoint& steepest = *std::max_element(
      f.wall.begin(), f.wall.end(), [](const FlowPoint& a, const FlowPoint& b) { return a.Teta < b.Teta; });
  DesignRecord record = Begin(round ? NozzleKind::kAxisymmetric : NozzleKind::kPlanar, given, f.gas, steepest.Teta);
  record.family = family;
  record.wall = f.wall;
  for (std::size_t k = 0; k < f.cMinus.size(); ++k) {
    record.lines.push_back({Family::kFanWave, "C- line " + std::to_string(k + 1), f.cMinus[k]});
  }
  for (std::size_t k = 0; k < f.cPlus.size(); ++k) {
    record.lines.push_back({Family::kCPlus, "C+ line " + std::to_string(k + 1), f.cPlus[k]});
  }
  record.exitProfile = f.exit;
  record.facts.axisEnd = f.exitX;
  record.facts.massBalancePercent = f.exit.empty() ? NAN : f.massBalancePercent;
  record.facts.meanExitMach = f.exit.empty() ? NAN : f.meanExitMach;
  record.facts.shock = f.shock;
  record.facts.throat = f.throat;
  CompleteFromWall(record, f.wallTurnsBackAt, f.wallWarning);
  if (f.shock) {
    record.warnings.push_back(ShockText(*f.shock) +
                              ": the net stops there, and the exit's flow is not computed (a shock's flow is not "
                              "isentropic)");
  }
  record.inlet.kind = Inlet::Kind::kRoundedThroat;
  return record;
}

}  // namespace nozzle
