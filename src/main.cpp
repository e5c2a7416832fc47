#include <exception>

#include "windows/Kontrolle.h"
#include "windows/application.h"

int main(int argc, char** argv) {
  VeltraApplication app(argc, argv);
  InitialiseToolkit(app);
  try {
    CreateForms();
    app.exec();
    DestroyForms();
  } catch (const std::exception& e) {
    VeltraApplication::ShowException(e.what());
  } catch (...) {
    VeltraApplication::ShowException("");
  }
  return 0;
}
