// The Qt front end is built in the workbench; this keeps the library non-empty.
namespace kalvex::ui {
void QtFrontendPlaceholder() {}
}
