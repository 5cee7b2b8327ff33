// Test bench of the vecdrive example: the device acc8 and the module
// `driver` that vecdrive writes from acc8.tab, joined port by port.  The
// simulation ends when the driver has run out of vectors.
module top;
  wire       clk, rst, oe, carry;
  wire [1:0] op;
  wire [7:0] din, data, sum;

  acc8   dut(.clk(clk), .rst(rst), .op(op), .din(din), .oe(oe), .data(data),
             .sum(sum), .carry(carry));
  driver drv(.clk(clk), .rst(rst), .op(op), .din(din), .oe(oe), .data(data),
             .sum(sum), .carry(carry));

  initial
    begin
      @(drv.EndVectors);
      $finish;
    end

  // A memory file that never ends the vectors must not hang the run.
  initial
    begin
      #100000;
      $display("ERROR: no end of vectors by time 100000");
      $finish;
    end
endmodule
