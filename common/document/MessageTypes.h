#pragma once

namespace MessageTypes {
enum MessageType { Error = 0, Confirm = 1, Information = 2 };
}

// What openFile reports; the guide editor never cancels.
namespace OpenResults {
enum OpenResult { Opened = 0, Cancelled = 1, Failed = 2 };
}
