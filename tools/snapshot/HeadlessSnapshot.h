#pragma once
// The editor without a window: the pointer events handed to the dispatch
// operations as calls, one Tick per timer frame: the first paint a full one,
// one tick after each event and two at the end. The picture is the session's
// Screen, what a window would show.

#include <vector>

#include "tools/snapshot/SnapshotOptions.h"

class EditorSession;

void SnapshotHeadless(EditorSession& session, const std::vector<SnapshotPointer>& pointer);
