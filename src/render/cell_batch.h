#pragma once
// Filled mesh cells gathered into vertex arrays and drawn with one
// glDrawArrays(GL_QUADS) per mesh instead of one glBegin/glEnd pair each:
// GL 1.x defines the array draw as that same sequence of vertices, so the
// picture is the same, but software GL spends about half a microsecond on
// every immediate-mode cell and far less on arrays.

// Appends one quad: its normal for all four corners and the corners in the
// order given, centred as CenteredVertex centres them, kept as floats.
void BatchQuad(const double (&normal)[3], const double (&corners)[4][3]);

// Draws the gathered quads, if any, and forgets them; afterwards the last
// quad's normal is the current normal, as immediate mode would leave it.
// Called before anything that would change how the quads are drawn.
void FlushCells();

// How FlushCells sends the quads: in arrays (always, in the program), or
// each as its own glBegin/glEnd pair with one glNormal3d, as before the
// arrays; kept so that the frame benchmark can compare the two in one run.
enum class CellSubmission { kArrays, kImmediate };
void SetCellSubmission(CellSubmission how);
