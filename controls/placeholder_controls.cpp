// SPDX-License-Identifier: MIT
namespace { [[maybe_unused]] int placeholder_controls; }
