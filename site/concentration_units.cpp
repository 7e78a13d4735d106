#include "site/concentration_units.h"

#include <array>
#include <utility>

namespace vmk {
namespace {

// The mass prefixes and their powers of ten; the first spelling of each is the one written.
struct Prefix {
  std::string_view Text;
  int Exponent;
};
constexpr std::array<Prefix, 9> kPrefixes = {{{"", 0},
                                              {"m", -3},
                                              {"\xC2\xB5", -6},  // µ (micro sign)
                                              {"\xCE\xBC", -6},  // μ (Greek mu)
                                              {"u", -6},
                                              {"n", -9},
                                              {"p", -12},
                                              {"f", -15},
                                              {"a", -18}}};

constexpr std::string_view kTeq = "-TEQ";

// "<prefix>g[-TEQ]<per>" read into its kind and exponent, the prefixes from `lowest` up.
std::optional<std::pair<QuantityKind, int>> MassUnit(std::string_view text, std::string_view per,
                                                    int lowest) {
  if (!text.ends_with(per)) return std::nullopt;
  text.remove_suffix(per.size());
  QuantityKind kind = QuantityKind::Mass;
  if (text.ends_with(kTeq)) {
    kind = QuantityKind::MassTeq;
    text.remove_suffix(kTeq.size());
  }
  if (!text.ends_with("g")) return std::nullopt;
  text.remove_suffix(1);
  for (const Prefix& p : kPrefixes) {
    if (text == p.Text && p.Exponent >= lowest) return std::pair{kind, p.Exponent};
  }
  return std::nullopt;
}

std::string MassText(QuantityKind kind, int exponent, std::string_view per) {
  const std::string teq = kind == QuantityKind::MassTeq ? std::string(kTeq) : std::string();
  for (const Prefix& p : kPrefixes) {
    if (p.Exponent == exponent) return std::string(p.Text) + "g" + teq + std::string(per);
  }
  return "1e" + std::to_string(exponent) + " g" + teq + std::string(per);
}

std::string_view KindName(QuantityKind kind) {
  switch (kind) {
    case QuantityKind::VolumeRatio: return "a volume ratio";
    case QuantityKind::Mass: return "a mass per volume";
    case QuantityKind::MassTeq: return "a toxic equivalent (TEQ) per volume";
  }
  return "";
}

}  // namespace

std::optional<ConcentrationUnit> ParseConcentrationUnit(std::string_view text) {
  if (text == "ppm") return ConcentrationUnit{QuantityKind::VolumeRatio, -6};
  if (text == "ppb") return ConcentrationUnit{QuantityKind::VolumeRatio, -9};
  for (std::string_view per : {std::string_view("/m3"), std::string_view("/m\xC2\xB3")}) {
    if (const auto mass = MassUnit(text, per, -18)) return ConcentrationUnit{mass->first, mass->second};
  }
  return std::nullopt;
}

std::optional<EmissionUnit> ParseEmissionUnit(std::string_view text) {
  if (text == "m3N/s" || text == "Nm3/s" || text == "m\xC2\xB3N/s" || text == "Nm\xC2\xB3/s") {
    return EmissionUnit{QuantityKind::VolumeRatio, 0};
  }
  if (const auto mass = MassUnit(text, "/s", -9)) return EmissionUnit{mass->first, mass->second};
  return std::nullopt;
}

std::string UnitText(const ConcentrationUnit& unit) {
  if (unit.Kind == QuantityKind::VolumeRatio) {
    if (unit.Exponent == -6) return "ppm";
    if (unit.Exponent == -9) return "ppb";
    return "1e" + std::to_string(unit.Exponent) + " (volume ratio)";
  }
  return MassText(unit.Kind, unit.Exponent, "/m3");
}

std::string UnitText(const EmissionUnit& unit) {
  if (unit.Kind == QuantityKind::VolumeRatio) return "m3N/s";
  return MassText(unit.Kind, unit.Exponent, "/s");
}

ConcentrationUnit ModelUnit(const EmissionUnit& unit) { return {unit.Kind, unit.Exponent - 9}; }

std::optional<int> UnitShift(const ConcentrationUnit& from, const ConcentrationUnit& to) {
  if (from.Kind != to.Kind) return std::nullopt;
  return from.Exponent - to.Exponent;
}

std::string WhyNotConvertible(const ConcentrationUnit& from, const ConcentrationUnit& to) {
  std::string why = UnitText(from) + " is " + std::string(KindName(from.Kind)) + ", " + UnitText(to) +
                    " " + std::string(KindName(to.Kind));
  const bool ratioAndMass = (from.Kind == QuantityKind::VolumeRatio) != (to.Kind == QuantityKind::VolumeRatio);
  if (ratioAndMass) why += ": converting them needs a temperature and a molar mass, which the program does not assume";
  return why;
}

}  // namespace vmk
