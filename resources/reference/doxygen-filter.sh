#!/usr/bin/env bash
# Doxygen input filter for our headers, which carry plain // comments:
#   - the comment that opens a header describes the file;
#   - a comment on lines of its own documents the declaration below it;
#   - a comment after a member on the same line documents that member.
awk '
  NR == 1 && /^\/\// { print "/** @file"; header = 1 }
  header && /^\/\// { sub(/^\/\/ ?/, ""); print; next }
  header { print "*/"; header = 0 }
  /^[[:space:]]*\/\/ / { sub(/\/\/ /, "/// "); print; next }
  /[;{,][[:space:]]+\/\/ / { sub(/[[:space:]]+\/\/ /, " ///< "); print; next }
  { print }
' "$1"
