#include "report/result_file.h"

#include "report/number_text.h"

namespace report {

std::string ResultFileText(const nozzle::DesignResult& result) {
  using nozzle::CountedLoop;
  using nozzle::Index;
  const nozzle::Net& net = result.net;
  const double N = result.inputs.N;
  std::string text;
  const auto line = [&text](const std::string& content) { text += content + "\r\n"; };

  line(" Çıkış Mach sayısı  = " + NumberField(result.inputs.Me));
  line(" İlk dalga PM açısı = " + NumberField(result.inputs.Teta0));
  line(" Çıkan dalga sayısı = " + NumberField(N));
  line("");
  line(" TetaMax = " + NumberField(result.TetaMax));
  line("");
  line("Karakteristik ve akım özellikleri");
  line("");
  line(" i  j  k Teta   Nu   M   Mu   K-   K+   x   y");

  double number = 0.0;
  CountedLoop(1.0, N, [&](double j) {
    CountedLoop(j, N, [&](double k) {
      const int J = Index(j);
      const int K = Index(k);
      number += 1.0;
      line(NumberField(j, 0) + NumberField(k, 0) + NumberField(number, 0) + NumberField(net.Teta(J, K)) +
           NumberField(net.Nu(J, K)) + NumberField(net.M(J, K)) + NumberField(net.Mu(J, K)) +
           NumberField(net.Kminus(K)) + NumberField(net.Kplus(J)) + NumberField(net.x(J, K)) +
           NumberField(net.y(J, K)));
    });
    number += 1.0;
  });

  line("");
  line("Duvar koordinatları");
  line("");
  line(" i    x     y");
  line("");
  const int W = Index(N + 1.0);
  CountedLoop(1.0, N, [&](double j) {
    const int J = Index(j);
    line(NumberField(j, 0) + NumberField(net.x(J, W)) + NumberField(net.y(J, W)));
  });
  return text;
}

}  // namespace report
