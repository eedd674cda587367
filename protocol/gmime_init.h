// GMime is initialised once, on first use.
#pragma once

namespace plumex {
void EnsureGMime();
}
