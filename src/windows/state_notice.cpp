#include "windows/state_notice.h"

StateNotice& Notice() {
  static StateNotice notice;
  return notice;
}
