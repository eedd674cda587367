// The program's icons, drawn once: list-row markers, tree nodes and toolbar buttons.
#pragma once

#include <QIcon>
#include <QString>

namespace plumex::icons {

QIcon HighPriority();
QIcon NormalPriority();
QIcon Clip();
QIcon NoClip();
// A message of the server list marked as a deletion candidate.
QIcon DeletionCandidate();
// Related-mail groups: the first row of a group and the rows that follow it.
QIcon GroupHead();
QIcon GroupMember();

// Sender trust: authenticated or trusted-signed mail, and mail that needs care (failed
// authentication, a bad or foreign signature, a display name showing another address). The
// warning also marks a password-protected ZIP attachment.
QIcon TrustGood();
QIcon TrustWarning();

QIcon ReceiveRoot();
QIcon Account();
QIcon Folder();
QIcon SendRoot();
QIcon Drafts();

// A toolbar button: a rounded square of the given colour with a short symbol on it.
QIcon Button(const QString& symbol, const QColor& colour);

}  // namespace plumex::icons
