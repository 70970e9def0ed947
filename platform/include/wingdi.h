// Graphics of the platform's core library: device contexts, GDI objects
// (bitmaps, brushes, pens, fonts, regions), blits, text and icons.
//
// The display is 16 bits per pixel (RGB565). FillRect, DrawTextW, DrawIcon,
// DrawIconEx and DestroyIcon are drawing calls of the window side of the
// platform; they are declared here with the rest of the drawing API.
#pragma once

#include <windef.h>

EXTERN_C_START

// ---- colours -----------------------------------------------------------------
#define RGB(r, g, b) \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFL
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)

// ---- object kinds (GetObjectType, GetCurrentObject) ---------------------------
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

// ---- stock objects -------------------------------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13

// ---- device context settings -----------------------------------------------------
#define TRANSPARENT 1
#define OPAQUE 2

#define TA_NOUPDATECP 0
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24

// GetDeviceCaps indices and values.
#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define DT_RASDISPLAY 1
#define RC_BITBLT 1
#define RC_STRETCHBLT 0x0800

// ---- raster operations -------------------------------------------------------------
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062

// ---- regions ---------------------------------------------------------------------------
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// ---- bitmaps -----------------------------------------------------------------------------
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *PBITMAP, *LPBITMAP;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD, *LPRGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

// The file header is packed: its DWORD fields sit at offsets 2 and 10.
#pragma pack(push, 2)
typedef struct tagBITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
} BITMAPFILEHEADER, *PBITMAPFILEHEADER, *LPBITMAPFILEHEADER;
#pragma pack(pop)

typedef struct tagDIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
} DIBSECTION, *PDIBSECTION, *LPDIBSECTION;

// ---- brushes and pens ----------------------------------------------------------------------
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define PS_SOLID 0
#define PS_DASH 1
#define PS_NULL 5

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    LONG lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

// ---- fonts and text ---------------------------------------------------------------------------
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define HANGEUL_CHARSET 129
#define HANGUL_CHARSET 129
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;
typedef LOGFONTW LOGFONT;
typedef LPLOGFONTW LPLOGFONT;

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW, *PTEXTMETRICW, *LPTEXTMETRICW;
typedef TEXTMETRICW TEXTMETRIC;
typedef LPTEXTMETRICW LPTEXTMETRIC;

#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

// DrawTextW formats.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_TABSTOP 0x00000080
#define DT_NOCLIP 0x00000100
#define DT_EXTERNALLEADING 0x00000200
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_INTERNAL 0x00001000

// DrawIconEx flags.
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_DEFAULTSIZE 0x0008

// ---- objects -------------------------------------------------------------------------------------
WINGDIAPI HGDIOBJ WINAPI GetStockObject(int fnObject);
WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ hObject);
WINGDIAPI int WINAPI GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);
WINGDIAPI DWORD WINAPI GetObjectType(HGDIOBJ h);
WINGDIAPI HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj);
WINGDIAPI HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT uObjectType);
#define GetObject GetObjectW

// ---- device contexts -------------------------------------------------------------------------------
WINGDIAPI HDC WINAPI CreateCompatibleDC(HDC hdc);
WINGDIAPI BOOL WINAPI DeleteDC(HDC hdc);
WINGDIAPI int WINAPI GetDeviceCaps(HDC hdc, int nIndex);
WINGDIAPI int WINAPI SetBkMode(HDC hdc, int iBkMode);
WINGDIAPI int WINAPI GetBkMode(HDC hdc);
WINGDIAPI COLORREF WINAPI SetBkColor(HDC hdc, COLORREF crColor);
WINGDIAPI COLORREF WINAPI GetBkColor(HDC hdc);
WINGDIAPI COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor);
WINGDIAPI COLORREF WINAPI GetTextColor(HDC hdc);
WINGDIAPI UINT WINAPI SetTextAlign(HDC hdc, UINT fMode);
WINGDIAPI UINT WINAPI GetTextAlign(HDC hdc);
WINGDIAPI int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn);
WINGDIAPI int WINAPI IntersectClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect,
                                       int nBottomRect);
WINGDIAPI int WINAPI ExcludeClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect,
                                     int nBottomRect);
WINGDIAPI int WINAPI GetClipBox(HDC hdc, LPRECT lprc);

// ---- bitmaps and blits -------------------------------------------------------------------------------
WINGDIAPI HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel,
                                      CONST VOID* lpvBits);
WINGDIAPI HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int nWidth, int nHeight);
WINGDIAPI HBITMAP WINAPI CreateDIBSection(HDC hdc, CONST BITMAPINFO* pbmi, UINT iUsage,
                                          VOID** ppvBits, HANDLE hSection, DWORD dwOffset);
WINGDIAPI BOOL WINAPI BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight,
                             HDC hdcSrc, int nXSrc, int nYSrc, DWORD dwRop);
WINGDIAPI BOOL WINAPI StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest,
                                 int nHeightDest, HDC hdcSrc, int nXOriginSrc, int nYOriginSrc,
                                 int nWidthSrc, int nHeightSrc, DWORD dwRop);
WINGDIAPI BOOL WINAPI PatBlt(HDC hdc, int nXLeft, int nYLeft, int nWidth, int nHeight, DWORD dwRop);
WINGDIAPI COLORREF WINAPI SetPixel(HDC hdc, int X, int Y, COLORREF crColor);
WINGDIAPI COLORREF WINAPI GetPixel(HDC hdc, int nXPos, int nYPos);

// ---- brushes, pens and shapes ---------------------------------------------------------------------------
WINGDIAPI HBRUSH WINAPI CreateSolidBrush(COLORREF crColor);
WINGDIAPI HPEN WINAPI CreatePen(int fnPenStyle, int nWidth, COLORREF crColor);
WINGDIAPI HPEN WINAPI CreatePenIndirect(CONST LOGPEN* lplgpn);
WINGDIAPI int WINAPI FillRect(HDC hDC, CONST RECT* lprc, HBRUSH hbr);
WINGDIAPI BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr);
WINGDIAPI BOOL WINAPI Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
WINGDIAPI BOOL WINAPI Ellipse(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
WINGDIAPI BOOL WINAPI MoveToEx(HDC hdc, int X, int Y, LPPOINT lpPoint);
WINGDIAPI BOOL WINAPI LineTo(HDC hdc, int nXEnd, int nYEnd);

// ---- regions -------------------------------------------------------------------------------------------------
WINGDIAPI HRGN WINAPI CreateRectRgn(int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
WINGDIAPI HRGN WINAPI CreateRectRgnIndirect(CONST RECT* lprc);
WINGDIAPI BOOL WINAPI SetRectRgn(HRGN hrgn, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
WINGDIAPI int WINAPI CombineRgn(HRGN hrgnDest, HRGN hrgnSrc1, HRGN hrgnSrc2, int fnCombineMode);
WINGDIAPI BOOL WINAPI EqualRgn(HRGN hSrcRgn1, HRGN hSrcRgn2);
WINGDIAPI int WINAPI OffsetRgn(HRGN hrgn, int nXOffset, int nYOffset);
WINGDIAPI BOOL WINAPI PtInRegion(HRGN hrgn, int X, int Y);
WINGDIAPI BOOL WINAPI RectInRegion(HRGN hrgn, CONST RECT* lprc);
WINGDIAPI int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc);

// ---- fonts and text ----------------------------------------------------------------------------------------------
WINGDIAPI HFONT WINAPI CreateFontIndirectW(CONST LOGFONTW* lplf);
WINGDIAPI BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm);
WINGDIAPI BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int cbString, LPSIZE lpSize);
WINGDIAPI BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszStr, int cchString, int nMaxExtent,
                                            INT* lpnFit, INT* alpDx, LPSIZE lpSize);
WINGDIAPI BOOL WINAPI ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, CONST RECT* lprc,
                                  LPCWSTR lpString, UINT cbCount, CONST INT* lpDx);
WINGDIAPI int WINAPI DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat);
#define CreateFontIndirect CreateFontIndirectW
#define GetTextMetrics GetTextMetricsW
#define GetTextExtentPoint32 GetTextExtentPoint32W
#define GetTextExtentExPoint GetTextExtentExPointW
#define ExtTextOut ExtTextOutW
#define DrawText DrawTextW

// ---- icons ------------------------------------------------------------------------------------------------------------
WINGDIAPI BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
WINGDIAPI BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                                 UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);
WINGDIAPI BOOL WINAPI DestroyIcon(HICON hIcon);

EXTERN_C_END

#ifdef __cplusplus
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14 && offsetof(BITMAPINFOHEADER, biCompression) == 16 &&
                  offsetof(BITMAPINFOHEADER, biClrUsed) == 32,
              "BITMAPINFOHEADER field offsets");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(offsetof(BITMAPFILEHEADER, bfOffBits) == 10, "bfOffBits at offset 10");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");
static_assert(sizeof(BITMAPINFO) == 44, "BITMAPINFO is a header and one colour");
static_assert(sizeof(LOGBRUSH) == 12 && sizeof(LOGPEN) == 16, "brush and pen records");
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW is 92 bytes");
static_assert(offsetof(LOGFONTW, lfItalic) == 20 && offsetof(LOGFONTW, lfFaceName) == 28, "LOGFONTW field offsets");
static_assert(sizeof(TEXTMETRICW) == 60, "TEXTMETRICW is 60 bytes");
static_assert(offsetof(TEXTMETRICW, tmFirstChar) == 44 && offsetof(TEXTMETRICW, tmItalic) == 52,
              "TEXTMETRICW field offsets");
#endif
PLATFORM_ASSERT_LAYOUT(sizeof(BITMAP) == 24, "BITMAP is 24 bytes");
PLATFORM_ASSERT_LAYOUT(offsetof(BITMAP, bmBits) == 20, "BITMAP.bmBits at offset 20");
PLATFORM_ASSERT_LAYOUT(sizeof(DIBSECTION) == 84, "DIBSECTION is 84 bytes");
PLATFORM_ASSERT_LAYOUT(offsetof(DIBSECTION, dsBitfields) == 64, "DIBSECTION.dsBitfields at offset 64");
