/* Resource ids of the programs' executables; read by windres and by the C++ code. */
#pragma once

#define IDI_QUILLON 1            /* program icon */
#define IDR_THANKS_PAY_A 101     /* RCDATA: BMP file, 301 x 301, first payment code */
#define IDR_THANKS_PAY_B 102     /* RCDATA: BMP file, 342 x 342, second payment code */
