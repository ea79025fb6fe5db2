// A movie's video stream played into a Direct3D texture: the file is demuxed and decoded with
// FFmpeg, each due picture is converted from planar YUV 4:2:0 into 16-bit RGB 5-6-5 with integer
// tables and copied into a managed texture of the movie's size. The owner advances it with the
// elapsed time, draws `m_pTexture` while `m_bPlaying` is set, and plays the sound track itself.
#pragma once

#include <d3d9/D3D9.h>

#include <cstdint>
#include <cstdio>

struct AVFormatContext;
struct AVIOContext;
struct AVCodecContext;
struct AVCodec;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class MovieTexture {
public:
    MovieTexture();
    virtual ~MovieTexture();
    MovieTexture(const MovieTexture&) = delete;
    MovieTexture& operator=(const MovieTexture&) = delete;

    // Forgets every member without freeing anything.
    virtual void Reset();
    virtual void Release();
    // Opens the file and its first video stream and creates the texture: 1, or -1 on failure
    // (logged; what was opened is left for Close). An open movie is closed first.
    virtual int Open(IDirect3DDevice9* device, const char* path);
    virtual void Close();
    // Decodes every picture that is due after the elapsed time and shows the last of them.
    virtual void Update(float seconds);

    // One picture converted into 5-6-5 pixels, rows of `width` pixels back to back: the chroma
    // planes have half the resolution in both directions.
    static void ConvertYuv420(const uint8_t* yPlane, int yPitch, const uint8_t* uPlane, const uint8_t* vPlane,
                              int uvPitch, int width, int height, uint16_t* out);
    // The frame period in milliseconds for a frame rate given as a fraction.
    static int FramePeriod(int numerator, int denominator);

    AVFormatContext* m_pFormat;
    int m_nVideoStream;
    AVCodecContext* m_pCodecContext;
    const AVCodec* m_pCodec;
    AVFrame* m_pFrame;
    AVFrame* m_pFrameRGB;
    int m_nGotPicture;
    int m_nRGBBufferSize;
    uint8_t* m_pRGBBuffer;
    IDirect3DTexture9* m_pTexture;
    int m_nCountdownMs;
    int m_nCountdownUs;
    int m_nPeriodMs;
    int m_bPlaying;

private:
    bool OpenStreams(IDirect3DDevice9* device, const char* path);
    // Reads and decodes until one picture of the video stream has been converted; false at the
    // end of the file (after the decoder's held-back pictures) or on a read error.
    bool DecodeOnePicture();
    bool ReceivePicture();
    void ConvertFrame();
    // Brings a picture of another format or size to the texture's YUV 4:2:0 layout.
    const AVFrame* AsYuv420(const AVFrame* frame);
    void CopyToTexture();

    AVPacket* m_pPacket = nullptr;
    AVFrame* m_pFrameYuv = nullptr;
    SwsContext* m_pScaler = nullptr;
    bool m_bDraining = false;
    // The file as the guarded open gave it, and FFmpeg's reader over it: the demuxer never opens
    // a path itself, so a FIFO or a device named as a movie never blocks.
    FILE* m_pFile = nullptr;
    AVIOContext* m_pInput = nullptr;
};
