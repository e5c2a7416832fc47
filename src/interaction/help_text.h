#pragma once
// The help's text, as HTML: the desktop's help window and the page show the same.

const char* HelpHtml();
