#pragma once

namespace velomira {

// The URL scheme of the application's own map resources ("res:/...").
inline constexpr char kMapSchemeName[] = "res";

// Registers the scheme with the web engine. Must run before the application object is
// created, once per process.
void RegisterMapUrlScheme();

} // namespace velomira
