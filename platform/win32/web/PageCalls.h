// What the layer's C++ asks of the page (page.js).
#ifndef QORX_PLATFORM_WEB_PAGECALLS_H
#define QORX_PLATFORM_WEB_PAGECALLS_H

extern "C" {
void qorx_page_start(void);
void qorx_page_set_title(const char* title);
int qorx_page_create_context(int depthBits);
int qorx_page_fit_canvas(void);
int qorx_page_canvas_width(void);
int qorx_page_canvas_height(void);
int qorx_page_enter_fullscreen(void);
void qorx_page_leave_fullscreen(void);
void qorx_page_show_cursor(int show);
int qorx_page_take_key(void);
// These two hand control back to the browser (asyncify) until they return.
int qorx_page_present(void);
int qorx_page_message_box(const char* text, const char* caption);
}

#endif
