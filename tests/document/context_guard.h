#pragma once

#include "document/document_context.h"

// Starts a test from a fresh process's channel sets and edit mode and leaves them so.
class ContextGuard {
 public:
  ContextGuard() { document::Context().Reset(); }
  ~ContextGuard() { document::Context().Reset(); }
  ContextGuard(const ContextGuard&) = delete;
  ContextGuard& operator=(const ContextGuard&) = delete;
};
