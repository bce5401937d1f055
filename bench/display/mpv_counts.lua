-- Prints mpv's own dropped-frame counts when it quits, for bench/display/run.sh. The properties
-- are gone by then, so they are sampled while playing.
local output, decoder = -1, -1
local function sample()
    output = mp.get_property_number("frame-drop-count", output)
    decoder = mp.get_property_number("decoder-frame-drop-count", decoder)
end
mp.add_periodic_timer(0.25, sample)
mp.register_event("end-file", sample)
mp.register_event("shutdown", function()
    io.stdout:write(string.format("mpv_output_drops %d\nmpv_decoder_drops %d\n", output, decoder))
end)
