#pragma once
// Who made the tool and which version it is, as the about and lock windows
// show them. The version comes from the project's version in the build.

#include <QString>

namespace vq {

inline constexpr char authorContact[] = "tavrin88@example.com";
inline const QString creatorCaption = QStringLiteral("Created By Tavrin88");
inline const QString versionCaption = QStringLiteral("Version " VQ_VERSION);

} // namespace vq
