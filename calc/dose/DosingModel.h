#pragma once

// The dosing model's constants, exactly as the model states them, shared by the dose calculation
// and the session plan. 60, 10 and 200 are 32-bit floats, the others doubles; every one of them
// is the same number in either width where it is widened.
namespace DosingModel {

inline constexpr float MinutesPerHour = 60;
inline constexpr float GramsPerLitrePerBal = 10;  // g/100 ml times 10 is g/l
inline constexpr float PureProof = 200;           // the proof of pure alcohol
inline constexpr double EthanolDensity = 0.7861;  // g/ml
inline constexpr double BloodWaterFraction = 0.8; // blood is about 80 % water
// Elimination: 0.15 g per litre of blood water per hour, which is 0.015 g/100 ml per hour.
inline constexpr double EliminationPerHour = 0.15;
inline constexpr double EliminationBalPerHour = 0.015;
// Absorption runs on until half an hour after the drinking period ends.
inline constexpr double AbsorptionAllowanceHours = 0.5;

} // namespace DosingModel
