#include "nozzle/inputs.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "gas/prandtl_meyer.h"

namespace nozzle {
namespace {

bool IsDigit(char c, int base) {
  if (base == 16) return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  return c >= '0' && c < static_cast<char>('0' + base);
}

std::size_t SkipDigits(std::string_view s, std::size_t i, int base = 10) {
  while (i < s.size() && IsDigit(s[i], base)) ++i;
  return i;
}

// &H and &O: whole numbers, exact up to 2^53, infinity far beyond the double range.
ValReading ReadPrefixed(const std::string& s, int base) {
  const std::size_t end = SkipDigits(s, 2, base);
  ValReading reading;
  reading.found = end > 2;
  reading.rest = reading.found ? s.substr(end) : s;
  for (std::size_t i = 2; i < end; ++i) {
    int digit = 0;
    std::from_chars(s.data() + i, s.data() + i + 1, digit, base);
    reading.value = reading.value * base + digit;
  }
  return reading;
}

// Decimal exponent of the leading significant digit, to tell overflow from
// underflow when the text lies beyond the double range.
long long LeadingExponent(std::string_view mantissa, long long exponent) {
  const std::size_t point = mantissa.find('.');
  const std::size_t intDigits = point == std::string_view::npos ? mantissa.size() : point;
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return std::numeric_limits<long long>::min() / 2;
  const long long position = first < intDigits ? static_cast<long long>(intDigits - first) - 1
                                               : -static_cast<long long>(first - intDigits);
  return position + exponent;
}

// x >= 0 cut, not rounded, to three decimals: every value up to the text read is <= x.
std::string CutToThousandths(double x) {
  char buffer[512];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 60);
  const std::string exact(buffer, result.ptr);
  return exact.substr(0, exact.find('.') + 4);
}

}  // namespace

ValReading ReadVal(std::string_view text) {
  std::string s;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return ReadPrefixed(s, 16);
    if (s[1] == 'O' || s[1] == 'o') return ReadPrefixed(s, 8);
  }

  std::size_t i = 0;
  const bool negative = i < s.size() && s[i] == '-';
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  const std::size_t mantissaStart = i;
  std::size_t intEnd = SkipDigits(s, i);
  std::size_t end = intEnd;
  if (end < s.size() && s[end] == '.') end = SkipDigits(s, end + 1);
  const std::string_view mantissa = std::string_view(s).substr(mantissaStart, end - mantissaStart);
  ValReading reading;
  reading.found = mantissa.find_first_of("0123456789") != std::string_view::npos;
  if (!reading.found) {
    reading.rest = s;
    return reading;
  }

  long long exponent = 0;
  if (end < s.size() && (s[end] == 'E' || s[end] == 'e' || s[end] == 'D' || s[end] == 'd')) {
    std::size_t e = end + 1;
    const bool expNegative = e < s.size() && s[e] == '-';
    if (e < s.size() && (s[e] == '-' || s[e] == '+')) ++e;
    const std::size_t expEnd = SkipDigits(s, e);
    if (expEnd > e) {
      for (std::size_t d = e; d < expEnd; ++d) {
        exponent = std::min<long long>(exponent * 10 + (s[d] - '0'), 1'000'000'000);
      }
      if (expNegative) exponent = -exponent;
      end = expEnd;
    }
  }
  reading.rest = s.substr(end);

  const std::string canonical = std::string(mantissa) + "e" + std::to_string(exponent);
  double magnitude = 0.0;
  const auto [ptr, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), magnitude);
  if (ec == std::errc::result_out_of_range) {
    magnitude = LeadingExponent(mantissa, exponent) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  reading.value = negative ? -magnitude : magnitude;
  return reading;
}

double Val(std::string_view text) { return ReadVal(text).value; }

namespace {

struct Field {
  const char* label;
  const std::string& text;
  std::string accepted;
};

// "N = "60": out of range; accepted: a whole number from 2 to 49." and a line feed.
std::string Fault(const Field& field, const std::string& what) {
  return std::string(field.label) + " = \"" + field.text + "\": " + what + "; accepted: " + field.accepted + ".\n";
}

// Reads one field; appends its fault to `message` and returns false when rejected.
bool ReadField(const Field& field, double& value, std::string& message) {
  const ValReading reading = ReadVal(field.text);
  if (!reading.found) {
    message += Fault(field, "not a number");
    return false;
  }
  if (!reading.rest.empty()) {
    const bool comma = reading.rest[0] == ',';
    message += Fault(field, comma ? "not a number (use a point as the decimal separator)" : "not a number");
    return false;
  }
  value = reading.value;
  return true;
}

// A number, or a fraction of two numbers ("5/3").
bool ReadRatio(const Field& field, double& value, std::string& message) {
  const std::size_t slash = field.text.find('/');
  if (slash == std::string::npos) return ReadField(field, value, message);
  const ValReading top = ReadVal(std::string_view(field.text).substr(0, slash));
  const ValReading bottom = ReadVal(std::string_view(field.text).substr(slash + 1));
  if (!top.found || !bottom.found || !top.rest.empty() || !bottom.rest.empty() || bottom.value == 0.0) {
    message += Fault(field, "not a number");
    return false;
  }
  value = top.value / bottom.value;
  return true;
}

}  // namespace

std::variant<DesignInputs, InputRejection> CheckInputs(const InputTexts& texts) {
  const Field me{"Exit Mach number Me", texts.me, "a number greater than 1 and not above 1e150"};
  const Field n{"Number of waves N", texts.n, "a whole number from 2 to 49"};
  const Field g{"Ratio of specific heats G", texts.gamma,
                "a number greater than 1 and not above 5/3 (the ideal-gas range; 5/3 may be typed as a fraction)"};
  DesignInputs inputs;
  std::string message;
  std::string gasMessage;
  bool gasValid = ReadRatio(g, inputs.gamma, gasMessage);
  gas::Gas theGas = gas::kAir;
  if (gasValid) {
    try {
      theGas = gas::Gas::WithGamma(inputs.gamma);
    } catch (const gas::ArithmeticError&) {
      gasMessage += Fault(g, "out of range");
      gasValid = false;
    }
  }

  bool meValid = ReadField(me, inputs.Me, message);
  if (meValid && !(inputs.Me > 1.0 && inputs.Me <= kMaxExitMach)) {
    message += Fault(me, "out of range");
    meValid = false;
  }

  // The upper bound of Teta0 is TetaMax = nu(Me) / 2; it is shown cut (not rounded)
  // to three decimals, so that every value up to the figure shown is accepted.
  const double tetaMax = meValid && gasValid ? gas::Nu_f_M(inputs.Me, theGas) / 2.0 : 0.0;

  // A gas with nu_max above 180 degrees (G below 1.25) reaches a wall angle of 90
  // degrees at the throat corner: beyond it the wall would run upstream.
  if (meValid && gasValid && tetaMax >= 90.0) {
    const Field steep{me.label, texts.me,
                      "a number greater than 1 whose TetaMax, half the Prandtl-Meyer angle, lies below 90 degrees: "
                      "below about " + CutToThousandths(gas::IterateMachFromNu(180.0, theGas).M) + " for G = " +
                          texts.gamma};
    message += Fault(steep, "out of range");
    meValid = false;
  }

  std::string tetaRange = "a number of degrees from 0 to TetaMax, half the Prandtl-Meyer angle of Me";
  const bool rangeKnown = meValid && gasValid;
  if (rangeKnown) {
    tetaRange = "a number of degrees from 0 to " + CutToThousandths(tetaMax) + " (TetaMax for Me = " + texts.me +
                (theGas.IsAir() ? std::string() : ", G = " + texts.gamma) + ")";
  }
  const Field teta0{"First wave angle Teta0", texts.teta0, tetaRange};
  if (ReadField(teta0, inputs.Teta0, message) && !(inputs.Teta0 >= 0.0 && (!rangeKnown || inputs.Teta0 <= tetaMax))) {
    message += Fault(teta0, "out of range");
  }

  if (ReadField(n, inputs.N, message) &&
      !(inputs.N >= 2.0 && inputs.N <= 49.0 && inputs.N == std::floor(inputs.N))) {
    message += Fault(n, "out of range");
  }
  message += gasMessage;

  if (message.empty()) return inputs;
  message.pop_back();
  return InputRejection{message};
}

}  // namespace nozzle
