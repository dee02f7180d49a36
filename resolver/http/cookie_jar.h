#pragma once
// The client's own cookie jar: one text for every host, in the form of a Cookie header value
// wrapped in "; " ... "; ":
//   "; " name1 "=" value1 "; " name2 "=" value2 "; "        (an empty jar is "; ")
// Entries keep the order in which cookies first arrived; a replaced cookie keeps its place.
// Names compare as exact bytes; values are kept as they arrived. Only the first name=value of
// a Set-Cookie line is kept: path, domain and expiry are dropped and nothing expires.
//
// A reply deletes a cookie by setting it to "deleted", "DELETED" or "Deleted"; other spellings
// are ordinary values. With keepOnDelete the reply may add and change cookies, never delete or
// empty one.
#include <string>
#include <string_view>

namespace http {

class CookieJar {
 public:
  // Merges the Set-Cookie lines of a raw reply header block (the name is matched in any case).
  void MergeReplyCookies(std::string_view replyHeaders, bool keepOnDelete);

  // The jar as a Cookie header value: "a=1; b=2", "" when empty.
  std::string Pairs() const;
  // "Cookie:" + Pairs(), no space after the colon (an empty jar gives "Cookie:").
  std::string HeaderLine() const { return "Cookie:" + Pairs(); }
  // The stored text itself, "; "-wrapped.
  const std::string& Text() const { return jar_; }

  // Replaces the jar with "a=1; b=2"-style text (the wrapping "; " is added where missing).
  void Replace(std::string_view text);
  void Clear() { jar_ = "; "; }

  // The value of the cookie with exactly this name ("" when absent); withName gives "name=value".
  std::string Cookie(std::string_view name, bool withName = false) const;
  // Adds or replaces the name=value pieces of a ";"-separated text; true when any was taken.
  bool AddCookies(std::string_view text);
  // Removes the cookies named by a ";"-separated text (names or name=value pieces).
  bool RemoveCookies(std::string_view text);

  // The cookies a reply header block sets, "a=1; b=2", deletions left out.
  static std::string ReplyCookies(std::string_view replyHeaders);
  // The value a reply header block sets for name ("deleted" for a deletion), "" when none.
  static std::string ReplyCookie(std::string_view replyHeaders, std::string_view name);

 private:
  std::string jar_ = "; ";
};

}  // namespace http
