#pragma once

namespace plugkit {

class AppHost;

// What the standalone host gives the function that makes a plug-in instance.
struct InstanceInfo {
  AppHost* host = nullptr;
};

} // namespace plugkit
