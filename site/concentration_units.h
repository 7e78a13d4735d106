// The units of an assessment: the emission's unit (a stack's QpEdit), the unit the model's
// number C then has, and the units of backgrounds and standards. The model gives C = Q x 1e9 x
// (a dilution in s/m3): for a gas volume in m3N/s the number is a volume ratio in ppb, for a
// mass rate in g/s a mass per volume in ng/m3, for mg/s in pg/m3, and so on. Units of one kind
// convert by a power of ten, exactly; a volume ratio and a mass per volume do not convert
// without a temperature and a molar mass, and are refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vmk {

enum class QuantityKind {
  VolumeRatio,  // ppm, ppb
  Mass,         // g per m3
  MassTeq,      // g-TEQ per m3 (dioxins, as toxic equivalents)
};

// A concentration unit: 10^Exponent of a volume ratio, of g/m3 or of g-TEQ/m3.
struct ConcentrationUnit {
  QuantityKind Kind = QuantityKind::VolumeRatio;
  int Exponent = 0;
  friend bool operator==(const ConcentrationUnit&, const ConcentrationUnit&) = default;
};

// An emission unit: m3N/s (a gas volume), or 10^Exponent g/s or g-TEQ/s.
struct EmissionUnit {
  QuantityKind Kind = QuantityKind::VolumeRatio;
  int Exponent = 0;
  friend bool operator==(const EmissionUnit&, const EmissionUnit&) = default;
};

// "ppm", "ppb", "g/m3", "mg/m3", "µg/m3" (also "ug/m3", "μg/m3"), "ng/m3", "pg/m3", "fg/m3", "ag/m3",
// each mass also "-TEQ" ("pg-TEQ/m3"); "m³" for "m3". Nothing for another text.
std::optional<ConcentrationUnit> ParseConcentrationUnit(std::string_view text);
// "m3N/s" (also "Nm3/s"), "g/s", "mg/s", "µg/s", "ng/s", each mass also "-TEQ" ("ng-TEQ/s").
std::optional<EmissionUnit> ParseEmissionUnit(std::string_view text);

// The unit's name as the program writes it ("ppb", "µg/m3", "pg-TEQ/m3").
std::string UnitText(const ConcentrationUnit& unit);
std::string UnitText(const EmissionUnit& unit);

// The unit of the model's C for an emission in `unit`.
ConcentrationUnit ModelUnit(const EmissionUnit& unit);

// The power of ten that takes a value in `from` to the same value in `to` (ppb to ppm: -3);
// nothing when the kinds differ.
std::optional<int> UnitShift(const ConcentrationUnit& from, const ConcentrationUnit& to);

// Why a value in `from` cannot be given in `to` (kinds differ), for a message.
std::string WhyNotConvertible(const ConcentrationUnit& from, const ConcentrationUnit& to);

// The texts the readers accept, for messages.
inline constexpr std::string_view kConcentrationUnitsAccepted =
    "ppm, ppb, mg/m3, µg/m3, ng/m3, pg/m3, fg/m3, ag/m3 or a mass unit with -TEQ (pg-TEQ/m3)";
inline constexpr std::string_view kEmissionUnitsAccepted =
    "m3N/s, g/s, mg/s, µg/s, ng/s or a mass unit with -TEQ (ng-TEQ/s)";

}  // namespace vmk
