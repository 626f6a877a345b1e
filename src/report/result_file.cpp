#include "report/result_file.h"

#include "report/number_text.h"

namespace report {
namespace {

void AddLine(std::string& text, const LineBuffer& content) {
  text += content.View();
  text += "\r\n";
}

}  // namespace

std::string ResultFileHead(const nozzle::DesignInputs& inputs, const gas::Gas& gas, double TetaMax) {
  std::string text;
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { AddLine(text, content); };
  line(b.Clear().Text(" Çıkış Mach sayısı  = ").Field(inputs.Me));
  line(b.Clear().Text(" İlk dalga PM açısı = ").Field(inputs.Teta0));
  line(b.Clear().Text(" Çıkan dalga sayısı = ").Field(inputs.N));
  if (!gas.IsAir()) line(b.Clear().Text(" Özgül ısılar oranı =  ").Text(ShortestText(gas.gamma)).Text(" "));
  line(b.Clear());
  line(b.Clear().Text(" TetaMax = ").Field(TetaMax));
  line(b.Clear());
  line(b.Clear().Text("Karakteristik ve akım özellikleri"));
  line(b.Clear());
  return text;
}

std::string ResultFileText(const nozzle::DesignResult& result) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  std::string text;
  text.reserve(static_cast<std::size_t>(N * (N + 1) / 2 * 100 + N * 30) + 512);
  LineBuffer b;
  const auto line = [&text](const LineBuffer& content) { AddLine(text, content); };

  text += ResultFileHead(result.inputs, result.gas, result.TetaMax);
  line(b.Clear().Text(" i  j  k Teta   Nu   M   Mu   K-   K+   x   y"));

  double number = 0.0;
  CountedLoop(1.0, N, [&](double j) {
    CountedLoop(j, N, [&](double k) {
      const int J = Index(j);
      const int K = Index(k);
      number += 1.0;
      line(b.Clear()
               .Field(j, 0)
               .Field(k, 0)
               .Field(number, 0)
               .Field(net.Teta(J, K))
               .Field(net.Nu(J, K))
               .Field(net.M(J, K))
               .Field(net.Mu(J, K))
               .Field(net.Kminus(K))
               .Field(net.Kplus(J))
               .Field(net.x(J, K))
               .Field(net.y(J, K)));
    });
    number += 1.0;
  });

  line(b.Clear());
  line(b.Clear().Text("Duvar koordinatları"));
  line(b.Clear());
  line(b.Clear().Text(" i    x     y"));
  line(b.Clear());
  const int W = Index(N + 1.0);
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    line(b.Clear().Field(j, 0).Field(net.x(J, W)).Field(net.y(J, W)));
  });
  return text;
}

}  // namespace report
