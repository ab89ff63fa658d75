// The program's window started as the program starts it, with the window's part linked in rather
// than loaded, so that first_paint_exit.cpp can end it after its first paint.
extern "C" int DniarzWindowMain(int argc, char** argv);

int main(int argc, char** argv)
{
    return DniarzWindowMain(argc, argv);
}
