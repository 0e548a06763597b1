#pragma once
// The vertical offsets of the index buttons, in twips from the baseline, positive upwards.
// Each is absolute: pressing a button twice does not add up.
namespace korvel::richtext {

inline constexpr int kSuperscriptTwips = 70;  // written \up7
inline constexpr int kSubscriptTwips = -70;   // written \dn7
inline constexpr int kBaselineTwips = 0;

}  // namespace korvel::richtext
