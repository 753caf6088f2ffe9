#!/usr/bin/env bash
# Doxygen input filter for our headers, which carry plain // comments:
#   - the comment that opens a header describes the file, and its first
#     sentence also describes the class the header is named after (unless a
#     comment of its own stands right above the class);
#   - a comment on lines of its own documents the declaration below it;
#   - a comment after a member on the same line documents that member.
awk -v name="$(basename "$1" .h)" '
  function firstSentence(text,    end) {
    sub(/^[[:space:]]+/, "", text)
    sub("^" name ": ", "", text)
    end = index(text, ". ")
    if (end > 0) text = substr(text, 1, end)
    return toupper(substr(text, 1, 1)) substr(text, 2)
  }
  NR == 1 && /^\/\// { print "/** @file"; header = 1 }
  header && /^\/\// { sub(/^\/\/ ?/, ""); print; about = about " " $0; next }
  header { print "*/"; header = 0 }
  $0 ~ "^(class|struct) " name "([[:space:]:{]|$)" && $0 !~ /;[[:space:]]*$/ && !commented && about != "" {
    print "/// " firstSentence(about)
  }
  { commented = 0 }
  /^[[:space:]]*\/\/ / { sub(/\/\/ /, "/// "); print; commented = 1; next }
  /[;{,][[:space:]]+\/\/ / { sub(/[[:space:]]+\/\/ /, " ///< "); print; next }
  { print }
' "$1"
